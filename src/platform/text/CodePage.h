#pragma once
// Text of language files, which come in the legacy code page named by the file
// itself: "Russian1251.ini" is windows-1251, "Chinese936.ini" is GBK.
#include <QByteArray>
#include <QString>

// Code page carried by a file name: the digits right before the extension
// ("Korean949.ini" -> 949); 0 when there are none.
int CodePageFromFileName(const QString& path);

// True when we can decode the code page (the ANSI and East Asian code pages of
// the language files); any other code page is read as UTF-8.
bool IsKnownCodePage(int codePage);

// Decodes bytes: a UTF-8 or UTF-16 byte order mark decides first, then the code
// page, else UTF-8. Invalid sequences become U+FFFD; never fails.
QString DecodeText(const QByteArray& bytes, int codePage);

// Reads and decodes a whole file by the code page of its name. False when the
// file cannot be read (text is then empty).
bool ReadCodePageFile(const QString& path, QString& text);
