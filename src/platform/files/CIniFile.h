#pragma once
// Line-oriented INI file: the calibration file and other small text files beside
// the program are read and rewritten through it. Sections are found by their whole
// name (ignoring case); a key inside its section is found loosely (substring test),
// as stored files have always been read. A loaded file is written back when the
// object goes away.
#include <QString>
#include <QStringList>

class CIniFile {
public:
    CIniFile() = default;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;
    ~CIniFile();

    // Reads every line of `path`. Returns 1 when the file was read, else 0.
    int Load(const QString& path);
    // Value after the first '=' of the key's line in the section. 1 when found.
    int GetValue(const QString& section, const QString& key, QString& value) const;
    // Replaces, inserts or appends the key's line in memory. 0 when not loaded.
    int SetValue(const QString& section, const QString& key, const QString& value);

private:
    int FindKeyLine(const QString& section, const QString& key) const;
    qsizetype FindSection(const QString& section, bool headersOnly) const;
    bool WriteBack() const;

    QString m_path;
    QStringList m_lines;
    bool m_loaded = false;
    bool m_latin1 = false; // file was not valid UTF-8: keep its bytes as they were
};
