// The shipped language files: every file the program can choose is there, reads
// cleanly in its code page, carries exactly the catalogue's keys, keeps what the
// program fills in or the user must type as it is, and can be drawn with the
// fonts the program depends on.
#include "app/LanguageTable.h"
#include "common/TextCatalogueEntries.h"
#include "platform/files/PrivateProfile.h"
#include "platform/text/CodePage.h"
#include "platform/text/TextLines.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace lang;

namespace {

constexpr char kSection[] = "[DoDedazez]";
constexpr char kEnglishFile[] = "English1252.ini";

QString LangFolder()
{
    return QStringLiteral(PELORA_SOURCE_DIR "/lang");
}

// Every language file the language table can pick, for any language id.
QSet<QString> ChosenFiles()
{
    QSet<QString> files;
    for (int primary = 0; primary <= kPrimaryLanguageMask; ++primary) {
        for (int sub = 0; sub < 4; ++sub) {
            files.insert(LanguageFileName({primary, sub}));
        }
    }
    return files;
}

struct LanguageFile {
    QByteArray bytes;
    QString text;
    QList<QPair<QString, QString>> lines; // key, text, in file order
};

// Reads a file the way the program does, keeping its lines apart for the checks.
LanguageFile Load(const QString& name)
{
    LanguageFile file;
    QFile f(LangFolder() + u'/' + name);
    if (!f.open(QIODevice::ReadOnly)) {
        return file;
    }
    file.bytes = f.readAll();
    file.text = DecodeText(file.bytes, CodePageFromFileName(name));
    const QStringList lines = SplitLines(file.text);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        file.lines.append({lines[i].left(eq), eq < 0 ? QString() : lines[i].mid(eq + 1)});
    }
    return file;
}

QMap<QString, QString> Texts(const LanguageFile& file) // folded key -> text
{
    const ProfileData profile(file.text);
    QMap<QString, QString> texts;
    for (const auto& [key, ignored] : file.lines) {
        QString value;
        if (profile.Find(QStringLiteral("DoDedazez"), key, value)) {
            texts.insert(key.toLower(), value);
        }
    }
    return texts;
}

QSet<QString> CatalogueKeys()
{
    QSet<QString> keys;
    for (const testsupport::NamedEntry& e : testsupport::CatalogueEntries()) {
        keys.insert(QString::fromUtf8(e.key).toLower());
    }
    return keys;
}

// What the program fills into a text: printf conversions in their order, and
// numbered arguments in any order.
QStringList Placeholders(const QString& text)
{
    static const QRegularExpression conversion(
        QStringLiteral(R"(%%|%[-+#0]*\d*(?:\.\d+)?(?:ll|l|h)?[diouxXeEfgGcsSp]|%(\d+))"));
    QStringList ordered, numbered;
    for (auto it = conversion.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        (m.hasCaptured(1) ? numbered : ordered) << m.captured(0);
    }
    numbered.sort();
    return ordered + QStringList{QStringLiteral("|")} + numbered;
}

// Texts shown in smaller buffers than the usual 256 characters.
int CapacityOf(const QString& key)
{
    static const QStringList toolTips =
        QStringLiteral(
            "preview takepicture takevideo taketimelapsedpictures setting tipsave email tiphormirror "
            "tipvermirror tipnegative tipbinarysegmentation tiprgb tipred tipgreen tipblue "
            "tipstraightline tipcontinuousline tipdotline tippolygon tiprcircle tipdcircle tiptcircle "
            "tiptarc tiptangle tipfangle calibration")
            .split(u' ');
    if (key == QStringLiteral("second")) {
        return 24; // the recording counter's unit
    }
    return toolTips.contains(key) ? 128 : 256;
}

TEST(LanguageFiles, EveryFileTheProgramCanChooseIsShipped)
{
    const QSet<QString> chosen = ChosenFiles();
    EXPECT_EQ(chosen.size(), 23);
    const QStringList shipped = QDir(LangFolder()).entryList({QStringLiteral("*.ini")}, QDir::Files);
    EXPECT_EQ(QSet<QString>(shipped.begin(), shipped.end()), chosen);
}

// The files are read by the Windows rules: the code page of the name (UTF-8 with a
// byte order mark where the name carries none we know), CRLF lines, one section.
TEST(LanguageFiles, EachReadsCleanlyInItsCodePage)
{
    for (const QString& name : ChosenFiles()) {
        SCOPED_TRACE(name.toStdString());
        const LanguageFile file = Load(name);
        ASSERT_FALSE(file.bytes.isEmpty());
        EXPECT_TRUE(file.bytes.endsWith("\r\n"));
        EXPECT_EQ(file.bytes.count('\n'), file.bytes.count("\r\n"));
        EXPECT_EQ(file.bytes.count('\r'), file.bytes.count("\r\n"));
        const bool utf8 = !IsKnownCodePage(CodePageFromFileName(name));
        EXPECT_EQ(file.bytes.startsWith("\xEF\xBB\xBF"), utf8);
        EXPECT_FALSE(file.text.contains(QChar(QChar::ReplacementCharacter)));
        EXPECT_TRUE(file.text.startsWith(QLatin1String(kSection) + "\r\n"));
        QSet<QString> keys;
        for (const auto& [key, text] : file.lines) {
            EXPECT_FALSE(key.isEmpty() || key.startsWith(u'[') || key.trimmed() != key) << key.toStdString();
            EXPECT_FALSE(text.trimmed().isEmpty()) << key.toStdString();
            EXPECT_FALSE(keys.contains(key.toLower())) << "twice: " << key.toStdString();
            keys.insert(key.toLower());
        }
    }
}

TEST(LanguageFiles, EachCarriesExactlyTheCatalogueKeys)
{
    const QSet<QString> catalogue = CatalogueKeys();
    for (const QString& name : ChosenFiles()) {
        const QMap<QString, QString> texts = Texts(Load(name));
        const QSet<QString> keys(texts.keyBegin(), texts.keyEnd());
        QStringList missing = QSet<QString>(catalogue).subtract(keys).values();
        QStringList unknown = QSet<QString>(keys).subtract(catalogue).values();
        missing.sort();
        unknown.sort();
        EXPECT_TRUE(missing.isEmpty())
            << name.toStdString() << " misses " << missing.join(", ").toStdString();
        EXPECT_TRUE(unknown.isEmpty())
            << name.toStdString() << " has unknown " << unknown.join(", ").toStdString();
    }
}

// A translation keeps what the program fills in, the accelerator marks, and the
// texts that are numbers (capture sizes); and it fits the buffer it is shown in.
TEST(LanguageFiles, TranslationsKeepWhatTheProgramFillsIn)
{
    const QMap<QString, QString> english = Texts(Load(kEnglishFile));
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    for (const QString& name : ChosenFiles()) {
        const QMap<QString, QString> texts = Texts(Load(name));
        for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
            const QString& key = it.key();
            const QString source = english.value(key);
            const std::string where = name.toStdString() + ": " + key.toStdString();
            EXPECT_EQ(Placeholders(it.value()), Placeholders(source)) << where;
            EXPECT_EQ(it.value().count(u'&'), source.count(u'&')) << where;
            if (!source.contains(letter)) { // a right-to-left file marks them left to right
                EXPECT_EQ(QString(it.value()).remove(QChar(0x200E)), source) << where;
            }
            EXPECT_LT(it.value().size(), CapacityOf(key)) << where;
        }
    }
}

TEST(LanguageFiles, PlaceholderCheckSeesWhatMatters)
{
    EXPECT_EQ(Placeholders("between %1 and %2."), Placeholders("zwischen %2 und %1."));
    EXPECT_NE(Placeholders("%s: %d"), Placeholders("%d: %s"));
    EXPECT_NE(Placeholders("%08X"), Placeholders("%X"));
    EXPECT_NE(Placeholders("%.2f mm"), Placeholders("mm"));
    EXPECT_EQ(Placeholders("100% sure"), Placeholders("sicher"));
}

// True when the application's font and its fallbacks have a glyph for every
// character; a missing one comes out as glyph 0, the empty box.
bool Drawable(const QString& text)
{
    QTextLayout layout(text, QApplication::font());
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        if (run.glyphIndexes().contains(0)) {
            return false;
        }
    }
    return true;
}

// The characters of a text that cannot be drawn.
QString Undrawable(const QString& text)
{
    if (Drawable(text)) {
        return {};
    }
    QString missing;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (!Drawable(one)) {
            missing += one;
        }
    }
    return missing.isEmpty() ? text : missing;
}

TEST(LanguageFiles, EveryTextCanBeDrawnWithTheInstalledFonts)
{
    ASSERT_FALSE(Undrawable(QString(QChar(0x0378))).isEmpty())
        << "an unassigned character must show as missing";
    for (const QString& name : ChosenFiles()) {
        const QMap<QString, QString> texts = Texts(Load(name));
        for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
            const QString missing = Undrawable(it.value());
            EXPECT_TRUE(missing.isEmpty())
                << name.toStdString() << ": " << it.key().toStdString() << " lacks " << missing.toStdString()
                << " (see scripts/packages.txt)";
        }
    }
}

} // namespace
