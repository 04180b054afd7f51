#include "platform/files/PrivateProfile.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/TextLines.h"

#include <QFile>
#include <cstring>

namespace {

QString Fold(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

// "[name]" (blanks allowed around it): the name inside the outermost brackets.
bool ParseHeader(const QString& line, QString& name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) {
        return false;
    }
    const qsizetype close = t.lastIndexOf(u']');
    name = close > 0 ? t.mid(1, close - 1).trimmed() : t.mid(1).trimmed();
    return true;
}

// "key = value": false for a line without '='.
bool ParseKeyLine(const QString& line, QString& key, QString& value)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        return false;
    }
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    return true;
}

QString StripQuotes(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

// Cuts like a fixed wide-character buffer would: at an embedded NUL, and to
// capacity - 1 characters without splitting a surrogate pair.
QString CutToCapacity(QString text, int capacity)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) {
        text.truncate(nul);
    }
    const qsizetype room = capacity > 0 ? capacity - 1 : 0;
    if (text.size() <= room) {
        return text;
    }
    qsizetype cut = room;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return text.left(cut);
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

// Where a new key line of `section` goes: after its last non-blank line, or -1
// when there is no such section. `keyLine` is set when the key already exists.
qsizetype FindSlot(const QStringList& lines, const QString& section, const QString& key, qsizetype& keyLine)
{
    keyLine = -1;
    qsizetype slot = -1;
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name, k, v;
        if (ParseHeader(lines.at(i), name)) {
            if (slot >= 0) {
                return slot; // the first matching section only
            }
            inside = Fold(name) == Fold(section);
            if (inside) {
                slot = i + 1;
            }
            continue;
        }
        if (!inside) {
            continue;
        }
        if (ParseKeyLine(lines.at(i), k, v) && Fold(k) == Fold(key)) {
            keyLine = i;
            return slot;
        }
        if (!lines.at(i).trimmed().isEmpty()) {
            slot = i + 1;
        }
    }
    return slot;
}

} // namespace

ProfileData::ProfileData(const QString& text)
{
    QHash<QString, QString>* current = nullptr;
    for (const QString& line : SplitLines(text)) {
        QString name, key, value;
        if (ParseHeader(line, name)) {
            current = &m_sections[Fold(name)];
        } else if (current && ParseKeyLine(line, key, value)) {
            const QString folded = Fold(key);
            if (!current->contains(folded)) {
                current->insert(folded, StripQuotes(value));
            }
        }
    }
}

bool ProfileData::Find(const QString& section, const QString& key, QString& value) const
{
    const auto s = m_sections.constFind(Fold(section));
    if (s == m_sections.cend()) {
        return false;
    }
    const auto k = s->constFind(Fold(key));
    if (k == s->cend()) {
        return false;
    }
    value = *k;
    return true;
}

QString ProfileString(const ProfileData& profile, const QString& section, const QString& key,
                      const QString& def, int capacity)
{
    QString value;
    return CutToCapacity(profile.Find(section, key, value) ? value : def, capacity);
}

QString GetPrivateProfileText(const QString& section, const QString& key, const QString& def, int capacity,
                              const QString& path)
{
    QString text;
    if (!ReadCodePageFile(path, text)) {
        return CutToCapacity(def, capacity);
    }
    return ProfileString(ProfileData(text), section, key, def, capacity);
}

QString EncodeProfileStruct(const void* data, int size)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(data);
    QString text;
    text.reserve(2 * size + 2);
    unsigned sum = 0;
    for (int i = 0; i < size; ++i) {
        text += QLatin1Char(kDigits[bytes[i] >> 4]);
        text += QLatin1Char(kDigits[bytes[i] & 0xF]);
        sum += bytes[i];
    }
    text += QLatin1Char(kDigits[(sum >> 4) & 0xF]);
    text += QLatin1Char(kDigits[sum & 0xF]);
    return text;
}

bool DecodeProfileStruct(const QString& text, void* data, int size)
{
    if (size < 0 || text.size() != 2 * qsizetype(size) + 2) {
        return false;
    }
    QByteArray bytes(size + 1, '\0');
    for (int i = 0; i <= size; ++i) {
        const int high = HexDigit(text.at(2 * i));
        const int low = HexDigit(text.at(2 * i + 1));
        if (high < 0 || low < 0) {
            return false;
        }
        bytes[i] = char(high << 4 | low);
    }
    unsigned sum = 0;
    for (int i = 0; i < size; ++i) {
        sum += static_cast<unsigned char>(bytes[i]);
    }
    if ((sum & 0xFF) != static_cast<unsigned char>(bytes[size])) {
        return false;
    }
    if (size > 0) {
        memcpy(data, bytes.constData(), size_t(size));
    }
    return true;
}

int GetPrivateProfileStruct(const QString& section, const QString& key, void* data, int size,
                            const QString& path)
{
    QString text;
    if (!ReadCodePageFile(path, text)) {
        return 0;
    }
    QString value;
    if (!ProfileData(text).Find(section, key, value)) {
        return 0;
    }
    return DecodeProfileStruct(value, data, size) ? 1 : 0;
}

int WritePrivateProfileStruct(const QString& section, const QString& key, const void* data, int size,
                              const QString& path)
{
    // Latin-1 keeps every byte of the file's other lines exactly as it was.
    QStringList lines;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        lines = SplitLines(QString::fromLatin1(existing.readAll()));
    }
    const QString keyLine = key + u'=' + EncodeProfileStruct(data, size);
    qsizetype at = -1;
    const qsizetype slot = FindSlot(lines, section, key, at);
    if (at >= 0) {
        lines[at] = keyLine;
    } else if (slot >= 0) {
        lines.insert(slot, keyLine);
    } else {
        lines.append(u'[' + section + u']');
        lines.append(keyLine);
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLatin1() + '\n';
    }
    return WriteFileAtomically(path, bytes) ? 1 : 0;
}
