#pragma once

#include <chrono>
#include <functional>
#include <memory>

// Repaints a screen that follows a stream of progress posts at a bounded rate: the
// screen keeps the latest values and calls changed() at each post; the first change
// after a quiet interval is painted at once, later ones within the interval wait and
// only the latest is painted when it ends. flush() paints what still waits (at the
// end of the stream). Main thread only; a repaint due after destruction is dropped.
class ThrottledRepaint {
public:
    static constexpr std::chrono::milliseconds interval{100};

    explicit ThrottledRepaint(std::function<void()> paint);
    ~ThrottledRepaint();
    ThrottledRepaint(const ThrottledRepaint&) = delete;
    ThrottledRepaint& operator=(const ThrottledRepaint&) = delete;

    void changed();
    void flush();

private:
    struct State;
    std::shared_ptr<State> state_;
};
