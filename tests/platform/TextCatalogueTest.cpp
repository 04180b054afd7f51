// The text catalogues against the shipped English language file and the sources:
// every key the program looks up must be translatable, and nobody may look a
// text up with a key of their own. The catalogues are plain entry lists, so this
// check reads every library's list without linking the libraries.
#include "platform/text/TextCatalogue.h"

#include "common/TextCatalogueEntries.h"
#include "platform/files/PrivateProfile.h"
#include "platform/text/CodePage.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testsupport::CatalogueEntries;
using testsupport::NamedEntry;

const QString kSection = QStringLiteral("DoDedazez");

QString EnglishFilePath()
{
    return QStringLiteral(PELORA_SOURCE_DIR "/lang/English1252.ini");
}

// Every catalogue of the program, each included by the header beside it.
const char* const kCatalogueFiles[] = {
    "platform/text/TextCatalogue.def",
    "platform/text/TextCataloguePending.def",
    "app/AppTexts.def",
    "capture/CaptureTexts.def",
    "measure/MeasureTexts.def",
    "files/FilesTexts.def",
};

const std::vector<NamedEntry>& kNamed = CatalogueEntries();

QString ReadSource(const QString& relativePath)
{
    QFile file(QStringLiteral(PELORA_SOURCE_DIR "/src/") + relativePath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The identifier a key gets: characters that cannot appear in a C++ name become
// '_', and a leading digit gets a 'k' in front.
std::string IdentifierOf(const std::string& key)
{
    std::string id;
    for (const char c : key) {
        id += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '_';
    }
    if (!id.empty() && std::isdigit(static_cast<unsigned char>(id.front()))) {
        id.insert(id.begin(), 'k');
    }
    return id;
}

QString DefaultOf(const char* id)
{
    for (const NamedEntry& e : kNamed) {
        if (std::string(e.id) == id) {
            return QString::fromUtf8(e.def);
        }
    }
    return {};
}

TEST(TextCatalogue, EnglishFileCarriesEveryKeyWithText)
{
    QString text;
    ASSERT_TRUE(ReadCodePageFile(EnglishFilePath(), text));
    const ProfileData profile(text);
    QStringList missing;
    for (const NamedEntry& entry : kNamed) {
        QString value;
        if (!profile.Find(kSection, QString::fromUtf8(entry.key), value) || value.isEmpty()) {
            missing << QString::fromUtf8(entry.key);
        }
    }
    EXPECT_TRUE(missing.isEmpty()) << "missing or empty in English1252.ini: "
                                   << missing.join(QStringLiteral(", ")).toStdString();
}

// The file is read by the Windows rules: one section, CRLF lines, windows-1252,
// keys without regard to case, so a second line for the same key would be dead.
TEST(TextCatalogue, EnglishFileIsOneCleanSection)
{
    QFile file(EnglishFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << "every line must end in CRLF";
    for (const char undefinedIn1252 : {'\x81', '\x8d', '\x8f', '\x90', '\x9d'}) {
        EXPECT_FALSE(bytes.contains(undefinedIn1252));
    }
    EXPECT_FALSE(bytes.startsWith("\xef\xbb\xbf")) << "no byte order mark: the code page is in the name";

    const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), QByteArray("[DoDedazez]\r"));
    QSet<QByteArray> keys;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].chopped(1);
        const qsizetype eq = line.indexOf('=');
        ASSERT_GT(eq, 0) << "not a key line: " << line.toStdString();
        EXPECT_FALSE(line.startsWith('[')) << line.toStdString();
        EXPECT_EQ(line.trimmed(), line) << line.toStdString();
        EXPECT_FALSE(line.mid(eq + 1).trimmed().isEmpty()) << line.toStdString();
        const QByteArray key = line.left(eq).toLower();
        EXPECT_FALSE(keys.contains(key)) << "key twice: " << key.toStdString();
        keys.insert(key);
    }
}

TEST(TextCatalogue, EntriesAreWellFormed)
{
    QSet<QPair<QString, QString>> places;
    QSet<std::string> ids;
    for (const NamedEntry& e : kNamed) {
        const std::string key = e.key;
        const std::string plain = IdentifierOf(key);
        const std::string id = e.id;
        EXPECT_FALSE(key.empty());
        EXPECT_EQ(key.find('='), std::string::npos) << key;
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(key.front())) ||
                     std::isspace(static_cast<unsigned char>(key.back())))
            << '"' << key << '"';
        EXPECT_TRUE(id == plain || (id.rfind(plain + "_", 0) == 0 && id.size() > plain.size() + 1))
            << id << " is not named after its key " << key;
        const QString def = QString::fromUtf8(e.def);
        EXPECT_FALSE(def.isEmpty()) << key;
        EXPECT_LT(def.size(), kTextCapacity) << key;
        const auto place = qMakePair(QString::fromUtf8(e.key), def);
        EXPECT_FALSE(places.contains(place)) << "entry repeated: " << id;
        places.insert(place);
        EXPECT_FALSE(ids.contains(id)) << "identifier in two catalogues: " << id;
        ids.insert(id);
    }
    // The shared entries reach the program through the shared header.
    EXPECT_STREQ(txt::MsgTitle.key, "MsgTitle");
}

// No catalogue escapes the checks above: every entry list under src is one of
// them, and each is included by its own library's header, so what is checked
// is what the program looks up.
TEST(TextCatalogue, EveryCatalogueIsCheckedAndDeclared)
{
    QSet<QString> listed;
    for (const char* file : kCatalogueFiles) {
        listed.insert(QString::fromUtf8(file));
    }
    QSet<QString> found;
    QMap<QString, QString> headers; // folder -> text of its headers
    const QDir src(QStringLiteral(PELORA_SOURCE_DIR "/src"));
    QDirIterator it(src.path(), {QStringLiteral("*.def"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = src.relativeFilePath(it.next());
        const QString folder = QFileInfo(relative).path();
        if (relative.endsWith(QStringLiteral(".def"))) {
            found.insert(relative);
        } else {
            headers[folder] += ReadSource(relative);
        }
    }
    EXPECT_EQ(found, listed);
    for (const QString& def : listed) {
        const QString include = QStringLiteral("#include \"%1\"").arg(def);
        EXPECT_TRUE(headers.value(QFileInfo(def).path()).contains(include))
            << def.toStdString() << " is not included by a header beside it";
    }
}

// Keys shared by places with their own defaults keep every one of them.
TEST(TextCatalogue, PlacesKeepTheirOwnDefaults)
{
    const struct {
        const char* id;
        const char* key;
        const char* def;
    } expected[] = {
        {"SelectFile", "SelectFile", "Please select a picture or video"},
        {"SelectFile_Image", "SelectFile", "Please select an image or video"},
        {"SelectFile_Print", "SelectFile", "Please select a picture"},
        {"TipSave", "TipSave", "Save as"},
        {"TipSave_Menu", "TipSave", "Save As..."},
        {"TipSave_Popup", "TipSave", "Save as..."},
        {"TipSave_Photo", "TipSave", "Save"},
        {"Setting", "Setting", "Setting"},
        {"Setting_SettingMenu", "Setting", "Measurement Setting"},
        {"Setting_OtherTools", "Setting", "Settings"},
        {"Second", "Second", "Second"},
        {"Second_Counter", "Second", "Seconds"},
        {"ScaleLine", "ScaleLine", "Scale Line"},
        {"ScaleLine_OtherTools", "ScaleLine", "Scale line"},
        {"CircleGrid_OtherTools", "CircleGrid", "circle Grid"},
        {"OK", "OK", "OK"},
        {"OK_VideoSetting", "OK", "Ok"},
        {"Ok", "Ok", "OK"},
        {"Device___", "Device...", "Vdieo Setting"},
        {"k2592_1944", "2592*1944", "2592*1944"},
    };
    for (const auto& want : expected) {
        bool found = false;
        for (const NamedEntry& e : kNamed) {
            if (std::string(e.id) != want.id) {
                continue;
            }
            found = true;
            EXPECT_STREQ(e.key, want.key) << want.id;
            EXPECT_STREQ(e.def, want.def) << want.id;
        }
        EXPECT_TRUE(found) << want.id;
    }
    EXPECT_NE(DefaultOf("TakePicture"), DefaultOf("TakePicture_Tooltip"));
}

// Every lookup goes through the catalogue: no text key made up from string
// literals outside it, and no LoadText on a braced or literal argument. An empty
// key ("no text" marker in a table) is allowed.
TEST(TextCatalogue, SourcesLookTextsUpOnlyThroughTheCatalogue)
{
    const QRegularExpression madeUpKey(QStringLiteral(R"(TextKey\s*[\w\s]*[{(=]\s*\{?\s*"[^"])"));
    const QRegularExpression literalLookup(QStringLiteral(R"(\bLoadText\s*\(\s*(?:\{|"|TextKey\b|u8"|L"))"));
    const QSet<QString> exempt = {QStringLiteral("TextLookup.h"), QStringLiteral("TextLookup.cpp"),
                                  QStringLiteral("TextCatalogue.h")};
    for (const char* bypass :
         {R"(LoadText({"Key", "Text"}))", R"(LoadText(TextKey{"Key", "Text"}, 128))",
          R"(const TextKey mine{"Key", "Text"};)", R"(static TextKey k = {"Key", "Text"};)"}) {
        EXPECT_TRUE(QString::fromUtf8(bypass).contains(madeUpKey) ||
                    QString::fromUtf8(bypass).contains(literalLookup))
            << bypass;
    }
    for (const char* fine : {"LoadText(txt::SureClose)", "LoadText(row.label, 64)", "TextKey label;",
                             R"(constexpr TextKey kNoText{"", ""};)"}) {
        EXPECT_FALSE(QString::fromUtf8(fine).contains(madeUpKey) ||
                     QString::fromUtf8(fine).contains(literalLookup))
            << fine;
    }

    QStringList offenders;
    int scanned = 0;
    QDirIterator it(QStringLiteral(PELORA_SOURCE_DIR "/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (exempt.contains(it.fileName())) {
            continue;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString source = QString::fromUtf8(file.readAll());
        ++scanned;
        if (source.contains(madeUpKey) || source.contains(literalLookup)) {
            offenders << path;
        }
    }
    EXPECT_GT(scanned, 0);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QStringLiteral("\n")).toStdString();
}

} // namespace
