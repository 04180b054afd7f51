#pragma once
// The calibration file: one section per nominal magnification text T, holding the
// line T=V with the calibrated magnification V ("%.1f"). Sections and keys match
// whole names, so the entries of 60 and 160 never touch each other.
#include <QString>
#include <QStringList>

inline constexpr const char* kCalibrationFileName = "CalibrationIni.ini";

// The calibration file beside the program.
QString CalibrationFilePath();

class CalibrationFile {
public:
    explicit CalibrationFile(QString path = CalibrationFilePath());

    // Both take the nominal text through MagnificationText, so blanks around it
    // neither hide a stored entry nor add another one.
    // Stored value for the nominal text (everything after the key line's first '=');
    // false, with `value` emptied, when there is none or the file cannot be read.
    bool Lookup(const QString& nominal, QString& value) const;

    // Writes T=V into T's section, replacing its line, adding the section when
    // missing and creating the file when there is none. The file is replaced in one
    // step, so a failed write keeps the old one. Returns 1 when stored, else 0 (also
    // for a nominal text that cannot be a section name: empty, or holding brackets,
    // '=', "//" or a line break).
    int Store(const QString& nominal, double calibrated) const;

private:
    bool ReadLines(QStringList& lines, bool& latin1) const;
    QString m_path;
};
