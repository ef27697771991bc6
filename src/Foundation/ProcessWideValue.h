#pragma once

// A process-wide value made by `make` at the first call (thread-safe one-time
// initialisation) and kept until the process ends. Every lambda has a type of its
// own, so every call site that passes one keeps a value of its own.
template <class Make>
const auto& processWideValue(Make make)
{
    static const auto value = make();
    return value;
}
