#include "platform/camera/CameraBackendFactory.h"

#include "platform/camera/V4l2Backend.h"
#include "platform/camera/VirtualMicroscope.h"
#include "platform/camera/VirtualMicroscopeSignals.h"

#include <mutex>

namespace {
const QString kVirtualOption = "--virtual-microscope";
const QString kDepthSlideOption = "--virtual-slide=depth";

std::mutex g_lock;
std::shared_ptr<CameraBackend> g_backend;

// Sensor class of "--virtual-microscope[=N]"; -1 when the option is absent.
int VirtualClassFromArguments(const QStringList& arguments)
{
    for (const QString& arg : arguments) {
        if (arg == kVirtualOption) {
            return 2;
        }
        if (arg.startsWith(kVirtualOption + "=")) {
            bool ok = false;
            const int cls = arg.mid(kVirtualOption.size() + 1).toInt(&ok);
            return (ok && cls >= 0 && cls <= 2) ? cls : 2;
        }
    }
    return -1;
}
} // namespace

std::shared_ptr<CameraBackend> CreateCameraBackendFromArguments(const QStringList& arguments)
{
    const int cls = VirtualClassFromArguments(arguments);
    if (cls < 0) {
        return std::make_shared<V4l2Backend>();
    }
    auto microscope = std::make_shared<VirtualMicroscope>(cls);
    if (arguments.contains(kDepthSlideOption)) {
        microscope->SetSlide(VirtualSlideKind::Depth);
    }
    InstallVirtualMicroscopeSignals(microscope);
    return microscope;
}

std::shared_ptr<CameraBackend> ProcessCameraBackend()
{
    std::lock_guard guard(g_lock);
    if (!g_backend) {
        g_backend = std::make_shared<V4l2Backend>();
    }
    return g_backend;
}

void SetProcessCameraBackend(std::shared_ptr<CameraBackend> backend)
{
    std::lock_guard guard(g_lock);
    g_backend = std::move(backend);
}
