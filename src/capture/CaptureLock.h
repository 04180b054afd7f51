#pragma once
// The process-wide capture lock: held around every AVI stream write (streaming
// thread) and while the streams are released (window thread). The application
// object creates it before the main window exists and deletes it after it has gone.
#include <mutex>

void CreateCaptureLock();
void DeleteCaptureLock();

// The lock, or nullptr outside the application object's lifetime.
std::mutex* CaptureLock();
