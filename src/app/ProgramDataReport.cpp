#include "app/ProgramDataReport.h"

#include "platform/files/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr char kEnglishFile[] = "English1252.ini";

void PrintFiles(QTextStream& out, const QDir& folder, const char* label, const QString& pattern)
{
    const QStringList names = folder.entryList({pattern}, QDir::Files, QDir::Name);
    out << label << ' ' << names.size() << ':';
    for (const QString& name : names) {
        out << ' ' << name;
    }
    out << '\n';
}
} // namespace

int PrintProgramDataReport()
{
    QTextStream out(stdout);
    const QDir folder(ProgramFolder());
    out << "data folder: " << folder.absolutePath() << '\n';
    out << "writable folder: " << WritableProgramFolder() << '\n';
    PrintFiles(out, folder, "language files", QStringLiteral("*.ini"));
    PrintFiles(out, folder, "manuals", QStringLiteral("*.html"));
    const bool english = QFileInfo(folder.filePath(QString::fromLatin1(kEnglishFile))).isFile();
    if (!english) {
        out << "missing: " << kEnglishFile << '\n';
    }
    return english ? 0 : 1;
}
