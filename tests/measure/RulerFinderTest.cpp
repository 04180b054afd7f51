// The ruler finder on stage micrometers drawn here (known pitch, any angle, the
// blemishes of a real camera) and on pictures that hold no ruler.
#include "measure/RulerFinder.h"

#include "common/TestSupport.h"
#include "measure/MeasureUnits.h"
#include "measure/SlideMeasureReport.h"
#include "platform/camera/VirtualSlide.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
const QColor kField(226, 229, 220);
const QColor kInk(30, 32, 44);

struct RulerCase {
    double pitch;
    double angle; // degrees
    bool thick;
};

// Vignetting, sensor noise of sigma 5/255 and JPEG quality 75, as a camera delivers.
QImage AsCameraWould(const QImage& clean, std::mt19937& rng)
{
    QImage img = clean.convertToFormat(QImage::Format_RGB888);
    std::normal_distribution<double> noise(0.0, 5.0);
    const double cx = img.width() / 2.0, cy = img.height() / 2.0;
    const double r2max = cx * cx + cy * cy;
    for (int y = 0; y < img.height(); ++y) {
        std::uint8_t* px = img.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const double light = 1.0 - 0.35 * ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r2max;
            for (int c = 0; c < 3; ++c, ++px) {
                *px = static_cast<std::uint8_t>(std::clamp(*px * light + noise(rng), 0.0, 255.0));
            }
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", 75);
    QImage decoded;
    decoded.loadFromData(jpeg, "JPG");
    return decoded;
}

void DrawCell(QPainter& p, QPointF centre, double radius)
{
    p.setPen(QPen(QColor(90, 60, 100), 3));
    p.setBrush(QColor(170, 120, 160, 220));
    p.drawEllipse(centre, radius, radius * 0.8);
    p.setBrush(QColor(80, 40, 90));
    p.drawEllipse(centre + QPointF(radius * 0.2, -radius * 0.1), radius * 0.35, radius * 0.3);
}

// Two numbers from the generator, one after the other; `swapped` hands them out the
// other way round, which draws a second sample of rulers from the same numbers.
std::pair<double, double> TwoDraws(std::mt19937& rng, bool swapped)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double first = unit(rng);
    const double second = unit(rng);
    return swapped ? std::pair(second, first) : std::pair(first, second);
}

// A micrometer across the whole picture: base line, ticks with long ones every 5
// and 10, numbers where they fit, and a cell lying over part of it. Both samples
// take as many numbers from the generator.
QImage RenderRuler(const RulerCase& c, std::mt19937& rng, bool swapped)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    QImage img(kWidth, kHeight, QImage::Format_RGB888);
    img.fill(kField);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // One draw per statement: the order of a call's arguments is the compiler's choice.
    const auto [shiftY, shiftX] = TwoDraws(rng, swapped);
    p.translate(kWidth / 2.0 + 60 * (shiftX - 0.5), kHeight / 2.0 + 60 * (shiftY - 0.5));
    p.rotate(c.angle);
    const double width = c.thick ? 0.42 * c.pitch : std::max(0.7, 0.1 * c.pitch);
    const double shortTick = std::max(5.0, 0.8 * c.pitch);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(-1000, 0, 2000, std::max(1.0, width)));
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(8, static_cast<int>(c.pitch * 0.5)));
    p.setFont(font);
    const double phase = unit(rng) * c.pitch;
    for (int k = -static_cast<int>(1000 / c.pitch); k * c.pitch < 1000; ++k) {
        const double x = phase + k * c.pitch;
        const double length = k % 10 == 0 ? 2.3 * shortTick : (k % 5 == 0 ? 1.6 * shortTick : shortTick);
        p.drawRect(QRectF(x - width / 2, -length, width, length));
        if (k % 10 == 0 && c.pitch >= 12) {
            p.setPen(kInk);
            p.drawText(QPointF(x + width + 2, -length + font.pixelSize()), QString::number(k));
            p.setPen(Qt::NoPen);
        }
    }
    const auto [cellSize, cellPlace] = TwoDraws(rng, swapped);
    DrawCell(p, QPointF(300 * (cellPlace - 0.5), -shortTick), 30 + 60 * cellSize);
    p.end();
    return AsCameraWould(img, rng);
}

QImage RenderCells(int cells, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    QImage img(kWidth, kHeight, QImage::Format_RGB888);
    img.fill(kField);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < cells; ++i) {
        const double radius = 20 + 80 * unit(rng);
        const double y = kHeight * unit(rng);
        const double x = kWidth * unit(rng);
        DrawCell(p, QPointF(x, y), radius);
    }
    p.end();
    return AsCameraWould(img, rng);
}

QImage RenderNoise(double sigma, std::mt19937& rng)
{
    QImage img(kWidth / 2, kHeight / 2, QImage::Format_Grayscale8);
    std::normal_distribution<double> noise(128.0, sigma);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.scanLine(y)[x] = static_cast<std::uint8_t>(std::clamp(noise(rng), 0.0, 255.0));
        }
    }
    return img;
}

// Pictures of the program's own windows and files: text, menus, art, no ruler.
QStringList RealPictures()
{
    const QDir help(QStringLiteral(PELORA_SOURCE_DIR "/help/images"));
    QStringList paths;
    for (const char* name :
         {"menu-setting.png", "menu-file.png", "menu-capture.png", "menu-help.png", "menu-other-tools.png",
          "pen-settings.png", "recorder-settings.png", "video-settings.png", "time-lapse.png",
          "calibration-dialog.png", "video-player.png"}) {
        paths << help.filePath(name);
    }
    paths << QStringLiteral(PELORA_SOURCE_DIR "/fuzz/corpus/FuzzPictureThumbnail/small.jpg")
          << QStringLiteral(PELORA_SOURCE_DIR "/fuzz/corpus/FuzzPictureThumbnail/small.bmp");
    return paths;
}

// How the finder did on a sample of rulers.
struct Tally {
    std::vector<double> errors;
    int within = 0, covered = 0, refused = 0, rulers = 0;
};

void Check(const RulerCase& c, const QImage& picture, int i, Tally& t)
{
    ++t.rulers;
    const RulerFinding f = FindRuler(picture);
    if (f.status != RulerStatus::Found) {
        ++t.refused;
        std::printf("%d refused: pitch %.3f angle %.1f %s\n", i, c.pitch, c.angle,
                    c.thick ? "thick" : "thin");
        return;
    }
    const double error = std::fabs(f.pitch / c.pitch - 1);
    t.errors.push_back(error);
    t.within += error <= 0.003;
    t.covered += f.pitchLow <= c.pitch && c.pitch <= f.pitchHigh;
    if (error > 0.003 || f.pitchLow > c.pitch || c.pitch > f.pitchHigh) {
        std::printf("%d miss: pitch %.3f angle %.1f %s found %.4f [%.4f, %.4f] over %d divisions\n", i,
                    c.pitch, c.angle, c.thick ? "thick" : "thin", f.pitch, f.pitchLow, f.pitchHigh,
                    f.divisions);
    }
}

// The worst error of the rulers found.
double Report(const char* sample, Tally& t)
{
    std::sort(t.errors.begin(), t.errors.end());
    const double median = t.errors.empty() ? 1.0 : t.errors[t.errors.size() / 2];
    const double worst = t.errors.empty() ? 1.0 : t.errors.back();
    std::printf(
        "%s rulers %d: median error %.4f %%, worst %.4f %%, within 0.3 %% %d, interval holds truth %d, "
        "refused %d\n",
        sample, t.rulers, median * 100, worst * 100, t.within, t.covered, t.refused);
    return worst;
}

} // namespace

// 200 rulers from 2 to 50 pixels per division: how often the pitch is within 0.3 %
// and the 95 % interval holds the truth. Every ruler whose number leaves 0 or 3 over
// 4 (thin and thick alike) is looked at a second time, moved and with its cell
// placed as the same numbers taken the other way round put them: a second sample.
TEST(RulerFinder, PitchAndIntervalOnTwoHundredRulers)
{
    std::mt19937 rng(25);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr int kCases = 200;
    // A sanitizer build looks at every tenth ruler (the same ones) for its faults.
    constexpr int kSampleStep = testsupport::kSanitizerBuild ? 10 : 1;
    Tally first, second;
    for (int i = 0; i < kCases; ++i) {
        const RulerCase c{2.0 * std::pow(25.0, unit(rng)), 180 * unit(rng), i % 2 == 1};
        std::mt19937 same = rng;
        const QImage picture = RenderRuler(c, rng, false);
        if (i % kSampleStep != 0) {
            continue;
        }
        Check(c, picture, i, first);
        if (i % 4 == 0 || i % 4 == 3) {
            Check(c, RenderRuler(c, same, true), i, second);
        }
    }
    // A wrong pitch shown as found is the worst a calibration can do: none is more
    // than 0.3 % off, in either sample (refusing is allowed).
    EXPECT_LT(Report("first sample", first), 0.003);
    EXPECT_LT(Report("second sample", second), 0.003);
    // The guards leave a little room for another machine's rounding.
    if (kSampleStep == 1) {
        EXPECT_GE(first.within, 198);
        EXPECT_GE(first.covered, 196);
        EXPECT_GE(second.within, 98);
        EXPECT_GE(second.covered, 97);
    }
}

// Blank fields, cells, noise and pictures of something else never give a pitch.
TEST(RulerFinder, NoResultWithoutRuler)
{
    std::mt19937 rng(7);
    std::vector<std::pair<QString, QImage>> pictures;
    for (int i = 0; i < 12; ++i) {
        pictures.emplace_back(QString("blank %1").arg(i), RenderCells(0, rng));
    }
    for (int i = 0; i < 15; ++i) {
        pictures.emplace_back(QString("cells %1").arg(i), RenderCells(1 + i, rng));
    }
    for (int i = 0; i < 10; ++i) {
        pictures.emplace_back(QString("noise %1").arg(i), RenderNoise(3.0 + 8 * i, rng));
    }
    for (const QString& path : RealPictures()) {
        QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << path.toStdString();
        pictures.emplace_back(path, picture);
    }
    ASSERT_EQ(pictures.size(), 50u);
    // A sanitizer build looks at every fifth picture for its faults.
    constexpr std::size_t kSampleStep = testsupport::kSanitizerBuild ? 5 : 1;
    int found = 0;
    for (std::size_t i = 0; i < pictures.size(); i += kSampleStep) {
        const auto& [name, picture] = pictures[i];
        const RulerFinding f = FindRuler(picture);
        EXPECT_NE(f.status, RulerStatus::Found) << name.toStdString() << " pitch " << f.pitch;
        found += f.status == RulerStatus::Found;
    }
    std::printf("pictures without ruler: %zu, calibrations found %d\n", pictures.size() / kSampleStep, found);
    // A camera-size frame of cells, searched the sparser way large pictures are.
    const QImage large =
        RenderCells(12, rng).scaled(2592, 1944, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_NE(FindRuler(large).status, RulerStatus::Found);
    // Too small to hold a ruler at all.
    EXPECT_EQ(FindRuler(QImage()).status, RulerStatus::NoRuler);
    EXPECT_EQ(FindRuler(QImage(20, 900, QImage::Format_RGB32)).status, RulerStatus::NoRuler);
}

// The virtual slide is true to the program's scale: before calibration a division
// reads 0.0103 mm (the optics are 3 % strong) at every sensor class, size and
// magnification, and the finder sees the pitch the slide was drawn with.
TEST(RulerFinder, VirtualSlideReadsItsDivisionsAtTheNominalScale)
{
    struct Slide {
        int cls, width, height;
        double magnification;
    };
    for (const Slide s : {Slide{2, 2592, 1944, 60}, Slide{2, 2592, 1944, 200}, Slide{2, 1280, 1024, 200},
                          Slide{1, 1280, 960, 200}, Slide{0, 1280, 1024, 120}}) {
        SCOPED_TRACE(testing::Message() << s.cls << " " << s.width << " x" << s.magnification);
        const QSize size(s.width, s.height);
        const double drawn = PixelsPerDivision(s.cls, s.width, s.height, s.magnification);
        const double previewPixels = drawn / SaveRatio(DisplayMode::Fitted, size);
        EXPECT_NEAR(LengthFromPixels(previewPixels, unitsPerPixel("mm", s.cls, size), s.magnification),
                    0.0103, 0.00001);
        const RulerFinding f = FindRuler(RenderSlide(s.cls, s.width, s.height, {}, s.magnification));
        ASSERT_EQ(f.status, RulerStatus::Found);
        EXPECT_NEAR(f.pitch / drawn, 1.0, 0.003);
        // The line for scripts.
        EXPECT_TRUE(SlideMeasureLine(f, 0.01).startsWith(
            QString::asprintf("pitch %.4f px, %d divisions, 95 %% interval ", f.pitch, f.divisions)));
    }
    EXPECT_EQ(SlideMeasureLine(RulerFinding{}, 0.01), "no ruler: no regular row of ticks found");
    // A still of the finest of them (3.75 pixels a division), as a user hands it to
    // the command line.
    QTemporaryDir folder;
    const QString still = folder.filePath("slide.jpg");
    ASSERT_TRUE(RenderSlide(2, 2592, 1944, {}, 60).save(still, "JPG", 90));
    EXPECT_EQ(RunMeasureSlide({still}), 0);
}
