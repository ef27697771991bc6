#pragma once

// Makes SIGTERM end the running application's event loop (from the loop itself,
// not from the signal handler), so the program can stop its work and return from
// main. Called once, after the application is made.
void quitOnTerminationSignal();
