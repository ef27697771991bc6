#pragma once

#include <functional>
#include <utility>

// The constant of a layout constraint: setting it lays the constrained views out
// anew through `apply`, which the owning screen supplies.
class LayoutConstant {
public:
    LayoutConstant(double constant, std::function<void(double)> apply) : constant_(constant), apply_(std::move(apply)) {}

    double constant() const { return constant_; }
    void setConstant(double constant)
    {
        constant_ = constant;
        apply_(constant);
    }

private:
    double constant_;
    std::function<void(double)> apply_;
};
