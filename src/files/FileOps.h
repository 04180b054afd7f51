#pragma once
// Folder listing and file copies for the file commands.
#include <QString>
#include <QStringList>

// Names of the plain files in `folder` matching a wildcard such as "*.jpg"
// (letter case ignored, as the pictures' own file system did), sorted by name.
QStringList ListFolder(const QString& folder, const QString& pattern);

// Copies `source` over `destination`; the destination is replaced only by a
// complete copy, so a failure leaves it as it was. Only a regular file is copied.
bool CopyFileReplacing(const QString& source, const QString& destination);

// The name after the last '/'; the folder before it (empty without one).
QString FileNameOf(const QString& path);
QString FolderOf(const QString& path);
// The extension after the last '.', empty without one.
QString ExtensionOf(const QString& path);
// True when the three characters after the last '.' read "bmp" as written: "BMP"
// names do not count (printing and e-mail treat only those as bitmaps).
bool HasLowerCaseBitmapExtension(const QString& path);
