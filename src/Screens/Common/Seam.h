#pragma once

#include <utility>

// One replaceable function of the screen layer: the real one, or what a test put in
// its place. Replacing it with an empty function puts the real one back.
template <class Function>
class Seam {
public:
    explicit Seam(Function real) : real_(real), current_(std::move(real)) {}

    const Function& current() const { return current_; }
    void replace(Function replacement) { current_ = replacement ? std::move(replacement) : real_; }

private:
    Function real_;
    Function current_;
};
