#pragma once

// The agent's delegate: its start-up, the folder watchers and the login-items poll.
// One per process, living as long as it.
class AppDelegate {
public:
    // The one delegate of the process (made by main).
    static AppDelegate& shared();

    void startAgent();
};
