#pragma once
// Lets scripts drive a running program's virtual microscope: SIGUSR1 presses the
// camera button, SIGUSR2 unplugs or plugs it again. The handler only writes a byte
// to a pipe; the work happens on the window thread.
#include <memory>

class VirtualMicroscope;

// Call once, on the window thread, after the application object exists.
bool InstallVirtualMicroscopeSignals(std::shared_ptr<VirtualMicroscope> microscope);
