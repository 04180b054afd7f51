#include "platform/files/CIniFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/TextLines.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool IsComment(const QString& trimmedLine)
{
    return trimmedLine.contains(QStringLiteral("//"));
}
bool IsHeader(const QString& trimmedLine)
{
    return trimmedLine.contains(u'[');
}

QString LeftTrimmed(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i).isSpace()) {
        ++i;
    }
    return s.mid(i);
}

// The header's name: the line without blanks around it, minus its first and last
// character (the brackets).
QString HeaderName(const QString& line)
{
    const QString t = line.trimmed();
    return t.size() < 2 ? QString() : t.mid(1, t.size() - 2);
}

} // namespace

CIniFile::~CIniFile()
{
    if (m_loaded) {
        WriteBack();
    }
}

int CIniFile::Load(const QString& path)
{
    m_path = path;
    m_loaded = false;
    m_lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return 0;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    m_latin1 = utf8.hasError();
    if (m_latin1) {
        text = QString::fromLatin1(bytes);
    }
    m_lines = SplitLines(text);
    m_loaded = true;
    return 1;
}

// Index of the key's line inside the section, or -1. Both the section and the key
// are found loosely: the section by its header name ignoring case, the key as a
// case-sensitive substring of a line.
int CIniFile::FindKeyLine(const QString& section, const QString& key) const
{
    const qsizetype i = FindSection(section, false);
    if (i >= 0) {
        for (qsizetype j = i + 1; j < m_lines.size(); ++j) {
            const QString line = LeftTrimmed(m_lines.at(j));
            if (IsComment(line)) {
                continue;
            }
            // A header ends the section even when it contains the key's text, so a
            // header is never mistaken for (or overwritten as) a key line.
            if (IsHeader(line)) {
                return -1;
            }
            if (line.contains(key)) {
                return int(j);
            }
        }
    }
    return -1;
}

// First line whose name between its outer characters is the section's, ignoring
// case. Reads have always taken any such line; writes take bracketed headers only.
qsizetype CIniFile::FindSection(const QString& section, bool headersOnly) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (headersOnly && !IsHeader(line)) {
            continue;
        }
        if (HeaderName(line).compare(section, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

int CIniFile::GetValue(const QString& section, const QString& key, QString& value) const
{
    if (!m_loaded) {
        return 0;
    }
    const int at = FindKeyLine(section, key);
    if (at < 0) {
        return 0;
    }
    const QString& line = m_lines.at(at);
    const qsizetype eq = line.indexOf(u'=');
    value = eq < 0 ? QString() : line.mid(eq + 1);
    return 1;
}

int CIniFile::SetValue(const QString& section, const QString& key, const QString& value)
{
    if (!m_loaded) {
        return 0;
    }
    const QString keyLine = key + u'=' + value;
    // The whole name decides: a header that merely contains the section's name
    // ("[200]" for "20") belongs to another section and is never written into.
    const qsizetype header = FindSection(section, true);
    if (header < 0) {
        m_lines.append(u'[' + section + u']');
        m_lines.append(keyLine);
        return 1;
    }
    for (qsizetype j = header + 1; j < m_lines.size(); ++j) {
        const QString line = LeftTrimmed(m_lines.at(j));
        if (IsComment(line)) {
            continue;
        }
        if (IsHeader(line)) {
            m_lines.insert(j, keyLine);
            return 1;
        }
        if (line.contains(key)) {
            m_lines[j] = keyLine;
            return 1;
        }
    }
    m_lines.append(keyLine);
    return 1;
}

// Replaces the file as a whole (temporary file, then rename), so a crash or a full
// disk leaves either the old file or the new one, never a truncated one.
bool CIniFile::WriteBack() const
{
    QByteArray bytes;
    for (const QString& line : m_lines) {
        bytes += m_latin1 ? line.toLatin1() : line.toUtf8();
        bytes += '\n';
    }
    return WriteFileAtomically(m_path, bytes);
}
