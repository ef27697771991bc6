#pragma once

namespace platform::dispatch {

// Makes the running QCoreApplication's event loop the pump of the main queue:
// tasks joining the queue from any thread are drained on the application's
// thread, delayed ones when due. Called once, after the application is made;
// the link ends with the application.
void attachToQtEventLoop();

} // namespace platform::dispatch
