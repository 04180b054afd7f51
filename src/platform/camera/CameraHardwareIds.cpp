#include "platform/camera/CameraHardwareIds.h"

#include "platform/files/ProgramFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <mutex>

namespace {
const HardwareIdTable kBuiltIn = {"Vid_a16e&Pid_3d01", "Vid_a16e&Pid_3d02", "Vid_a16e&Pid_3d03"};

std::mutex g_lock;
HardwareIdTable g_ids;
bool g_loaded = false;

// Canonical spelling: "Vid_" and "&Pid_" with lower-case hex digits.
QString Canonical(const QString& id)
{
    return "Vid_" + id.mid(4, 4).toLower() + "&Pid_" + id.mid(13, 4).toLower();
}

HardwareIdTable LoadFromFile()
{
    QFile file(ProgramFolder() + "/SupportedHardwareIds.conf");
    if (!file.open(QIODevice::ReadOnly)) {
        return kBuiltIn;
    }
    // A sane configuration file is a few lines; ignore anything huge.
    return ParseSupportedHardwareIds(QString::fromUtf8(file.read(64 * 1024)));
}
} // namespace

bool IsHardwareIdText(const QString& text)
{
    static const QRegularExpression pattern("^vid_[0-9a-f]{4}&pid_[0-9a-f]{4}$",
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(text).hasMatch();
}

HardwareIdTable ParseSupportedHardwareIds(const QString& text)
{
    HardwareIdTable ids = kBuiltIn;
    int filled = 0;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.section('#', 0, 0).trimmed();
        if (filled == kSupportedHardwareIdCount) {
            break;
        }
        if (IsHardwareIdText(line)) {
            ids[filled++] = Canonical(line);
        }
    }
    return ids;
}

const HardwareIdTable& SupportedHardwareIds()
{
    std::lock_guard guard(g_lock);
    if (!g_loaded) {
        g_ids = LoadFromFile();
        g_loaded = true;
    }
    return g_ids;
}

void ReloadSupportedHardwareIds()
{
    std::lock_guard guard(g_lock);
    g_ids = LoadFromFile();
    g_loaded = true;
}
