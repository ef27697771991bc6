#pragma once

// May the product try to reach the Internet now? Asked before every piece of network work.
class Reachability {
public:
    // True only when the flags for the zero IPv4 address can be read and are
    // exactly "reachable", with no other flag. Synchronous, from any thread.
    static bool isConnectedToNetwork();
};
