#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way a confirmed close does:
// the handler only writes a byte to a pipe; the window thread then runs
// `onTerminate`. A second signal while the first is handled ends the program
// at once, so a program that hangs can still be stopped.
#include <functional>

// Call once, on the window thread, after the application object exists. False
// when the handlers could not be installed.
bool InstallTerminationSignals(std::function<void()> onTerminate);
