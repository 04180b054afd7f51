#include "measure/CalibrationFile.h"

#include "measure/Calibration.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <utility>

namespace {

bool IsHeader(const QString& line)
{
    return line.contains(QLatin1Char('['));
}

bool IsComment(const QString& line)
{
    return line.contains(QLatin1String("//"));
}

bool IsSectionOf(const QString& line, const QString& nominal)
{
    const QString t = line.trimmed();
    return t.size() == nominal.size() + 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')) &&
           QStringView(t).mid(1, nominal.size()) == nominal;
}

bool IsKeyOf(const QString& line, const QString& nominal)
{
    const QString t = line.trimmed();
    return t.startsWith(nominal) && t.size() > nominal.size() && t.at(nominal.size()) == QLatin1Char('=');
}

bool UsableName(const QString& nominal)
{
    if (nominal.isEmpty() || IsComment(nominal)) {
        return false;
    }
    for (const QChar c : nominal) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('=') ||
            c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            return false;
        }
    }
    return true;
}

struct KeyPosition {
    qsizetype section = -1;  // header line, -1 when the section is missing
    qsizetype key = -1;      // key line, -1 when the section lacks it
    qsizetype insertAt = -1; // where a missing key line goes
};

KeyPosition FindKey(const QStringList& lines, const QString& nominal)
{
    KeyPosition pos;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsHeader(lines[i]) && IsSectionOf(lines[i], nominal)) {
            pos.section = i;
            break;
        }
    }
    if (pos.section < 0) {
        return pos;
    }
    pos.insertAt = lines.size();
    for (qsizetype j = pos.section + 1; j < lines.size(); ++j) {
        if (IsComment(lines[j])) {
            continue;
        }
        if (IsHeader(lines[j])) {
            pos.insertAt = j;
            break;
        }
        if (IsKeyOf(lines[j], nominal)) {
            pos.key = j;
            break;
        }
    }
    return pos;
}

} // namespace

QString CalibrationFilePath()
{
    return WritableProgramFolder() + QLatin1Char('/') + QLatin1String(kCalibrationFileName);
}

CalibrationFile::CalibrationFile(QString path) : m_path(std::move(path)) {}

// A missing file reads as no lines; a file that exists but cannot be read fails.
bool CalibrationFile::ReadLines(QStringList& lines, bool& latin1) const
{
    lines.clear();
    latin1 = false;
    QFile file(m_path);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        latin1 = true;
        text = QString::fromLatin1(bytes);
    }
    lines = SplitLines(text);
    return true;
}

bool CalibrationFile::Lookup(const QString& typed, QString& value) const
{
    const QString nominal = MagnificationText(typed);
    value.clear();
    QStringList lines;
    bool latin1 = false;
    if (!UsableName(nominal) || !ReadLines(lines, latin1)) {
        return false;
    }
    const KeyPosition pos = FindKey(lines, nominal);
    if (pos.key < 0) {
        return false;
    }
    const QString& line = lines[pos.key];
    value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
    return true;
}

int CalibrationFile::Store(const QString& typed, double calibrated) const
{
    const QString nominal = MagnificationText(typed);
    QStringList lines;
    bool latin1 = false;
    if (!UsableName(nominal) || !ReadLines(lines, latin1)) {
        return 0;
    }
    const QString keyLine = nominal + QLatin1Char('=') + CalibrationText(calibrated);
    const KeyPosition pos = FindKey(lines, nominal);
    if (pos.key >= 0) {
        lines[pos.key] = keyLine;
    } else if (pos.section >= 0) {
        lines.insert(pos.insertAt, keyLine);
    } else {
        lines.append(QLatin1Char('[') + nominal + QLatin1Char(']'));
        lines.append(keyLine);
    }
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return WriteFileAtomically(m_path, latin1 ? text.toLatin1() : text.toUtf8()) ? 1 : 0;
}
