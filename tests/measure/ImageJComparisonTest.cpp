// The ruler finder against ImageJ on a still of the virtual slide: ImageJ's pitch
// from a line over ten divisions (tests/measure/ImageJPitch.ijm) against ours,
// both printed. Skipped when ImageJ (Debian package imagej) or xvfb-run is missing.
#include "measure/RulerFinder.h"
#include "platform/camera/VirtualSlide.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {
const QString kImageJ = QStringLiteral("/usr/share/java/ij.jar");
} // namespace

TEST(RulerFinder, AgreesWithImageJOnTheVirtualSlide)
{
    if (!QFileInfo(kImageJ).isFile()) {
        GTEST_SKIP() << "ImageJ is not installed (" << kImageJ.toStdString() << "): no comparison";
    }
    // ImageJ builds its menus even for a macro, so it needs a display: a virtual one.
    const QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
    if (xvfbRun.isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed: ImageJ cannot run without a display";
    }
    constexpr int kClass = 2, kWidth = 2592, kHeight = 1944;
    constexpr double kMagnification = 200;
    QTemporaryDir folder;
    const QString still = folder.filePath("Still_virtual_200X_N0001.jpg");
    ASSERT_TRUE(RenderSlide(kClass, kWidth, kHeight, {}, kMagnification).save(still, "JPG", 90));

    // A line through the short ticks from the middle of a gap over ten divisions,
    // where the slide draws its ticks (8 % in, axis at 55 % of the height).
    const double ppd = PixelsPerDivision(kClass, kWidth, kHeight, kMagnification);
    const double x0 = kWidth * 0.08 + 20.5 * ppd;
    const QString argument =
        QString("%1 %2 %3 %4").arg(still).arg(kHeight * 0.55 - 4).arg(x0).arg(x0 + 11 * ppd);
    QProcess imagej;
    imagej.setProcessEnvironment([&] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder.path());
        return env;
    }());
    imagej.start(xvfbRun, {"-a", "java", "-jar", kImageJ, "-batch",
                           PELORA_SOURCE_DIR "/tests/measure/ImageJPitch.ijm", argument});
    ASSERT_TRUE(imagej.waitForFinished(60000));
    const QString answer = QString::fromUtf8(imagej.readAllStandardOutput()).trimmed();
    ASSERT_TRUE(answer.startsWith("pitch ")) << answer.toStdString();
    const double theirs = answer.mid(6).toDouble();

    const RulerFinding ours = FindRuler(QImage(still));
    ASSERT_EQ(ours.status, RulerStatus::Found);
    std::printf("ImageJ pitch %.4f px, Pelora %.4f px [%.4f, %.4f] over %d divisions, drawn %.4f px: "
                "they differ by %.3f %%\n",
                theirs, ours.pitch, ours.pitchLow, ours.pitchHigh, ours.divisions, ppd,
                (ours.pitch / theirs - 1) * 100);
    // Ours is held to the drawn pitch, and the two to each other.
    EXPECT_NEAR(ours.pitch / ppd, 1.0, 0.003);
    EXPECT_NEAR(ours.pitch / theirs, 1.0, 0.003);
}
