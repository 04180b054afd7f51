#pragma once
// Profile (INI) files read with the desktop platform's rules: sections and keys
// are found without regard to case, blanks around names and values are ignored,
// a value in matching quotes loses them, and texts are cut to the caller's
// capacity. Structures are stored as upper-case hex bytes plus a checksum byte.
#include <QHash>
#include <QString>

// A parsed profile, for repeated lookups in the same file.
class ProfileData {
public:
    ProfileData() = default;
    explicit ProfileData(const QString& text);

    // True when the key is in the section; `value` is then its (trimmed) text.
    // When a section or key appears twice, the first one wins.
    bool Find(const QString& section, const QString& key, QString& value) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections; // folded names
};

// The value, or `def` when the section or key is missing, cut to capacity - 1
// characters (a capacity below 1 gives an empty text).
QString ProfileString(const ProfileData& profile, const QString& section, const QString& key,
                      const QString& def, int capacity);

// The same, straight from a file decoded by the code page of its name.
QString GetPrivateProfileText(const QString& section, const QString& key, const QString& def, int capacity,
                              const QString& path);

// Structure encoding: 2 * size upper-case hex digits, then the checksum byte (sum
// of the bytes modulo 256) as two more.
QString EncodeProfileStruct(const void* data, int size);
// Fills `data` from the encoding; false (and `data` untouched) when the length,
// a digit or the checksum is wrong.
bool DecodeProfileStruct(const QString& text, void* data, int size);

// Reads a structure of `size` bytes. Returns 1 on success, 0 otherwise.
int GetPrivateProfileStruct(const QString& section, const QString& key, void* data, int size,
                            const QString& path);
// Stores a structure, keeping the file's other lines; the file is replaced as a
// whole. Returns 1 on success, 0 when the file could not be written.
int WritePrivateProfileStruct(const QString& section, const QString& key, const void* data, int size,
                              const QString& path);
