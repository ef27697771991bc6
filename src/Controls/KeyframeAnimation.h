#pragma once

#include <QString>

#include <vector>

// A keyframe animation of one layer value: the values are held in turn (discrete),
// each for an equal share of `duration` seconds, repeated for ever.
struct KeyframeAnimation {
    QString keyPath;
    std::vector<double> values;
    double duration = 0.25;
};
