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

const QString kMagnificationKey = "magnification=";

struct VirtualOptions {
    int deviceClass = -1; // -1: no virtual microscope
    double magnification = kSlideNominalMagnification;
};

// "--virtual-microscope[=N][,magnification=M]": sensor class N (0, 1 or 2, else 2)
// and the slide's nominal magnification M.
VirtualOptions VirtualOptionsFromArguments(const QStringList& arguments)
{
    VirtualOptions options;
    for (const QString& arg : arguments) {
        if (arg != kVirtualOption && !arg.startsWith(kVirtualOption + "=")) {
            continue;
        }
        options.deviceClass = 2;
        const QStringList parts = arg.mid(kVirtualOption.size() + 1).split(',');
        bool ok = false;
        const int cls = parts.value(0).toInt(&ok);
        options.deviceClass = (ok && cls >= 0 && cls <= 2) ? cls : 2;
        for (const QString& part : parts) {
            if (part.startsWith(kMagnificationKey)) {
                const double m = part.mid(kMagnificationKey.size()).toDouble(&ok);
                options.magnification = ok ? m : kSlideNominalMagnification;
            }
        }
        break;
    }
    return options;
}
} // namespace

std::shared_ptr<CameraBackend> CreateCameraBackendFromArguments(const QStringList& arguments)
{
    const VirtualOptions options = VirtualOptionsFromArguments(arguments);
    if (options.deviceClass < 0) {
        return std::make_shared<V4l2Backend>();
    }
    auto microscope = std::make_shared<VirtualMicroscope>(options.deviceClass, 0, options.magnification);
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
