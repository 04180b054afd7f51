#include "measure/ListColumnTexts.h"

#include "measure/MeasureTexts.h"
#include "platform/text/TextLookup.h"

#include <QRegularExpression>

namespace {

struct ColumnWord {
    const char* english;
    const TextKey* text;
};

const ColumnWord kColumnWords[] = {
    {"ID", &txt::ColumnID},
    {"Name", &txt::ColumnName},
    {"Length", &txt::ColumnLength},
    {"Width", &txt::ColumnWidth},
    {"Height", &txt::ColumnHeight},
    {"Area", &txt::ColumnArea},
    {"Radius", &txt::ColumnRadius},
    {"Diameter", &txt::ColumnDiameter},
    {"Circumference", &txt::ColumnCircumference},
    {"Angle", &txt::Angle},
};

// One pass over each title, so a translated word is never translated again.
QString LocalizedTitle(const QString& title)
{
    static const QRegularExpression kWord(QStringLiteral("\\b[A-Za-z]+\\b"));
    QString localized;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : kWord.globalMatch(title)) {
        localized += title.mid(done, match.capturedStart() - done);
        QString word = match.captured();
        for (const ColumnWord& known : kColumnWords) {
            if (word == QLatin1String(known.english)) {
                word = LoadText(*known.text);
                break;
            }
        }
        localized += word;
        done = match.capturedEnd();
    }
    return localized + title.mid(done);
}

} // namespace

QStringList LocalizedColumnTitles(const QStringList& titles)
{
    QStringList localized;
    for (const QString& title : titles) {
        localized << LocalizedTitle(title);
    }
    return localized;
}
