#include "platform/files/RegistryFile.h"

#include "platform/text/TextLines.h"

namespace {

QString Escape(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == u'"' || c == u'\\') {
            out += u'\\' + QString(c);
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

// Parses a quoted text starting at `pos`; on success `pos` is just past the closing quote.
bool Unescape(const QString& line, qsizetype& pos, QString& out)
{
    if (pos >= line.size() || line.at(pos) != u'"') {
        return false;
    }
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            pos = i + 1;
            return true;
        }
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i >= line.size()) {
            return false;
        }
        if (line.at(i) == u'u') {
            bool ok = false;
            const uint code = line.mid(i + 1, 4).toUInt(&ok, 16);
            if (!ok || i + 4 >= line.size()) {
                return false;
            }
            out += QChar(char16_t(code));
            i += 4;
        } else {
            out += line.at(i);
        }
    }
    return false;
}

bool ParseValue(const QString& line, RegistryValue& value)
{
    qsizetype pos = 0;
    if (!Unescape(line, pos, value.name) || pos >= line.size() || line.at(pos) != u'=') {
        return false;
    }
    const QString rest = line.mid(pos + 1);
    if (rest.startsWith(QLatin1String("dword:"))) {
        bool ok = false;
        const QString digits = rest.mid(6);
        value.dword = digits.size() == 8 ? digits.toUInt(&ok, 16) : 0;
        value.isDword = ok;
        return ok;
    }
    qsizetype textPos = pos + 1;
    value.isDword = false;
    return Unescape(line, textPos, value.text) && textPos == line.size();
}

} // namespace

RegistryValue* RegistrySubkey::Find(const QString& valueName)
{
    for (RegistryValue& v : values) {
        if (v.name.compare(valueName, Qt::CaseInsensitive) == 0) {
            return &v;
        }
    }
    return nullptr;
}

RegistrySubkey* RegistryFile::Find(const QString& subkeyName)
{
    for (RegistrySubkey& s : subkeys) {
        if (s.name.compare(subkeyName, Qt::CaseInsensitive) == 0) {
            return &s;
        }
    }
    return nullptr;
}

RegistrySubkey& RegistryFile::FindOrAdd(const QString& subkeyName)
{
    if (RegistrySubkey* s = Find(subkeyName)) {
        return *s;
    }
    subkeys.append(RegistrySubkey{subkeyName, {}});
    return subkeys.back();
}

RegistryFile ParseRegistryFile(const QString& text)
{
    RegistryFile file;
    RegistrySubkey* current = nullptr;
    for (const QString& raw : SplitLines(text)) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = &file.FindOrAdd(line.mid(1, line.size() - 2));
            continue;
        }
        RegistryValue value;
        if (current && ParseValue(line, value) && !current->Find(value.name)) {
            current->values.append(value);
        }
    }
    return file;
}

QString FormatRegistryFile(const RegistryFile& file)
{
    QString out;
    for (const RegistrySubkey& s : file.subkeys) {
        out += u'[' + s.name + QStringLiteral("]\n");
        for (const RegistryValue& v : s.values) {
            out += Escape(v.name) + u'=';
            out +=
                v.isDword ? QStringLiteral("dword:%1").arg(v.dword, 8, 16, QLatin1Char('0')) : Escape(v.text);
            out += u'\n';
        }
    }
    return out;
}
