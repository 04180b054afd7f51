// pelora_endurance: the live path for half an hour of camera frames, with stills,
// effect switches and a recording every minute; fails when resident memory grows
// by more than the target after the warm-up.
//
//   pelora_endurance [--minutes N] [--warmup N] [--size WxH] [--target-kb N]
//
// PELORA_ENDURANCE_MINUTES sets the minutes when --minutes is not given; the
// warm-up is 2 minutes, or less in runs that short. Prints
//   EnduranceNmin rss_growth_kb VALUE target KB frames N stills N recordings N ...
// and exits 1 when the growth is over the target or a still or recording failed.
#include "EnduranceRun.h"

#include <QApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>

namespace {

constexpr std::int64_t kDefaultTargetKb = 1024;
constexpr int kUsageError = 2;

struct Command {
    EnduranceOptions options;
    std::int64_t targetKb = kDefaultTargetKb;
};

bool ParseSize(const QString& text, QSize* size)
{
    const QStringList parts = text.split('x');
    bool okW = false, okH = false;
    if (parts.size() == 2) {
        *size = QSize(parts[0].toInt(&okW), parts[1].toInt(&okH));
    }
    return okW && okH && size->width() > 0 && size->height() > 0;
}

bool ParseArguments(const QStringList& args, Command* command)
{
    bool ok = true;
    bool warmupGiven = false;
    const QByteArray minutes = qgetenv("PELORA_ENDURANCE_MINUTES");
    if (!minutes.isEmpty()) {
        command->options.minutes = minutes.toInt(&ok);
    }
    for (int i = 1; ok && i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == "--minutes") {
            command->options.minutes = value.toInt(&ok);
        } else if (name == "--warmup") {
            command->options.warmupMinutes = value.toInt(&ok);
            warmupGiven = true;
        } else if (name == "--size") {
            ok = ParseSize(value, &command->options.frame);
        } else if (name == "--target-kb") {
            command->targetKb = value.toLongLong(&ok);
        } else {
            ok = false;
        }
    }
    EnduranceOptions& o = command->options;
    if (!warmupGiven) {
        o.warmupMinutes = std::min(o.warmupMinutes, o.minutes - 1);
    }
    return ok && args.size() % 2 == 1 && o.minutes > 0 && o.warmupMinutes >= 0 && o.warmupMinutes < o.minutes;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Command command;
    if (!ParseArguments(app.arguments(), &command)) {
        std::fprintf(stderr,
                     "usage: pelora_endurance [--minutes N] [--warmup N] [--size WxH] [--target-kb N]\n"
                     "(minutes > warm-up >= 0)\n");
        return kUsageError;
    }
    const EnduranceFigures f = RunEndurance(command.options);
    const std::int64_t growth = f.rssEndKb - f.rssWarmupKb;
    std::printf("Endurance%dmin rss_growth_kb %lld target %lld frames %lld stills %d recordings %d "
                "recorded_frames %lld rss_warmup_kb %lld rss_end_kb %lld seconds %.0f\n",
                command.options.minutes, static_cast<long long>(growth),
                static_cast<long long>(command.targetKb), static_cast<long long>(f.frames), f.stills,
                f.recordings, static_cast<long long>(f.recordedFrames), static_cast<long long>(f.rssWarmupKb),
                static_cast<long long>(f.rssEndKb), f.seconds);
    if (!f.failure.isEmpty()) {
        std::printf("FAILED: %s\n", qPrintable(f.failure));
        return 1;
    }
    return growth > command.targetKb ? 1 : 0;
}
