#pragma once

#include "Controls/CustomAnimator.h"

#include <functional>
#include <memory>
#include <utility>

class QWidget;

// Puts the shared dimming overlay up over `view`'s window for a sheet and returns the
// sheet's answer handler: its first call takes the overlay down and then hands the
// answer to `completion`; any later call does nothing, so a sheet answers once.
template <class... Answer>
std::function<void(Answer...)> dimForSheet(QWidget& view, std::function<void(Answer...)> completion)
{
    CustomAnimator::putUpDimmingOverlay(view);
    auto answered = std::make_shared<bool>(false);
    return [answered, completion = std::move(completion)](Answer... answer) {
        if (std::exchange(*answered, true))
            return;
        CustomAnimator::takeDownDimmingOverlay();
        completion(answer...);
    };
}
