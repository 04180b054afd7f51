// main() of the test binaries that run inside the rig's VM: plugs the rig camera,
// runs the tests, unplugs it.
// Environment: PELORA_RIG_CAMERA (the camera program), PELORA_RIG_DATA (its folder).
#include "kernel/RigCameraProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace rig {
namespace {
RigCameraProcess* g_camera = nullptr;
}

RigCameraProcess& PluggedCamera()
{
    return *g_camera;
}
} // namespace rig

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // the device watch reports through the event loop
    ::testing::InitGoogleTest(&argc, argv);
    const char* program = std::getenv("PELORA_RIG_CAMERA");
    const char* data = std::getenv("PELORA_RIG_DATA");
    if (!program || !data) {
        std::fprintf(stderr, "%s: set PELORA_RIG_CAMERA and PELORA_RIG_DATA\n", argv[0]);
        return 2;
    }
    QDir().mkpath(data);
    rig::RigCameraProcess camera(program, data);
    rig::g_camera = &camera;
    if (!camera.Plug()) {
        std::fprintf(stderr, "%s: the rig camera did not enumerate\n", argv[0]);
        return 1;
    }
    const int failed = RUN_ALL_TESTS();
    camera.Unplug();
    std::printf("rig: tests done, camera unplugged\n");
    return failed;
}
