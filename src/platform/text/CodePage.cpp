#include "platform/text/CodePage.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace {

// The iconv names we try for each code page, in order of preference.
struct CodePageNames {
    int codePage;
    const char* names[3];
};

constexpr CodePageNames kCodePages[] = {
    {874, {"CP874", "WINDOWS-874", "TIS-620"}},  {932, {"CP932", "WINDOWS-31J", "SHIFT_JIS"}},
    {936, {"GBK", "CP936", "GB18030"}},          {949, {"CP949", "UHC", "EUC-KR"}},
    {950, {"BIG5", "CP950", "BIG5-HKSCS"}},      {1250, {"CP1250", "WINDOWS-1250", nullptr}},
    {1251, {"CP1251", "WINDOWS-1251", nullptr}}, {1252, {"CP1252", "WINDOWS-1252", nullptr}},
    {1253, {"CP1253", "WINDOWS-1253", nullptr}}, {1254, {"CP1254", "WINDOWS-1254", nullptr}},
    {1255, {"CP1255", "WINDOWS-1255", nullptr}}, {1256, {"CP1256", "WINDOWS-1256", nullptr}},
    {1257, {"CP1257", "WINDOWS-1257", nullptr}}, {1258, {"CP1258", "WINDOWS-1258", nullptr}},
};

const CodePageNames* FindCodePage(int codePage)
{
    for (const CodePageNames& entry : kCodePages) {
        if (entry.codePage == codePage) {
            return &entry;
        }
    }
    return nullptr;
}

iconv_t OpenDecoder(const CodePageNames& entry)
{
    for (const char* name : entry.names) {
        if (!name) {
            break;
        }
        iconv_t cd = iconv_open("UTF-8", name);
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            return cd;
        }
    }
    return reinterpret_cast<iconv_t>(-1);
}

const char kReplacementUtf8[] = "\xEF\xBF\xBD";

// Converts to UTF-8, replacing each byte iconv rejects with U+FFFD and going on.
QByteArray ConvertToUtf8(iconv_t cd, const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, qsizetype(dst - buffer));
        if (rc != size_t(-1) || errno == E2BIG) {
            continue;
        }
        out.append(kReplacementUtf8);
        if (errno == EINVAL) { // incomplete sequence at the end
            break;
        }
        ++in; // EILSEQ (or anything else): skip one byte and resynchronise
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

QString DecodeUtf16(const QByteArray& body, QStringDecoder::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder(body);
    if (body.size() % 2 != 0) { // a dangling byte would otherwise vanish silently
        text += QChar(QChar::ReplacementCharacter);
    }
    return text;
}

} // namespace

int CodePageFromFileName(const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    qsizetype start = base.size();
    while (start > 0 && base.at(start - 1).isDigit() && base.size() - start < 6) {
        --start;
    }
    return start == base.size() ? 0 : base.mid(start).toInt();
}

bool IsKnownCodePage(int codePage)
{
    return FindCodePage(codePage) != nullptr;
}

QString DecodeText(const QByteArray& bytes, int codePage)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(bytes.mid(3));
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return DecodeUtf16(bytes.mid(2), QStringDecoder::Utf16LE);
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return DecodeUtf16(bytes.mid(2), QStringDecoder::Utf16BE);
    }
    const CodePageNames* entry = FindCodePage(codePage);
    if (!entry) {
        return QString::fromUtf8(bytes);
    }
    iconv_t cd = OpenDecoder(*entry);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return QString::fromUtf8(bytes);
    }
    const QByteArray utf8 = ConvertToUtf8(cd, bytes);
    iconv_close(cd);
    return QString::fromUtf8(utf8);
}

bool ReadCodePageFile(const QString& path, QString& text)
{
    text.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    text = DecodeText(bytes, CodePageFromFileName(path));
    return true;
}
