#pragma once

#include <optional>
#include <utility>
#include <vector>

// Last in, first out; the top is the last element of `array`.
template <class T>
class Stack {
public:
    void push(T element) { array.push_back(std::move(element)); }

    // Removes and returns the top; null (and nothing removed) when empty.
    std::optional<T> pop()
    {
        if (array.empty())
            return std::nullopt;
        T element = std::move(array.back());
        array.pop_back();
        return element;
    }

    std::optional<T> top() const
    {
        if (array.empty())
            return std::nullopt;
        return array.back();
    }

    bool isEmpty() const { return array.empty(); }

    std::vector<T> array;
};
