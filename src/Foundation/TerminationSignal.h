#pragma once

// Makes SIGTERM and SIGHUP quit the running application (from its event loop, not from the
// signal handler): its windows close and the loop ends, so the program can stop
// its work and return from main. Called once, after the application is made.
void quitOnTerminationSignal();
