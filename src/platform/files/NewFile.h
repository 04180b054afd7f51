#pragma once
// Putting a finished file under its final name without ever writing over a file
// that is already there: pictures and recordings are written under a temporary
// name in their folder and then take the first free numbered name.
#include <QByteArray>
#include <QString>
#include <functional>

// How the no-replace move is made; the best the file system offers is used, the
// others stand in where it lacks that (and let tests run each one).
enum class NoReplaceMethod {
    Rename,      // renameat2(RENAME_NOREPLACE)
    Link,        // link to the new name, then unlink the old one
    Placeholder, // claim the new name with O_EXCL, then rename onto the claim
};

// Moves `from` to `to` unless `to` exists. 0 when moved, EEXIST when the name is
// taken (nothing moved), another errno on failure.
int RenameNoReplace(const QString& from, const QString& to);
int RenameNoReplaceWith(NoReplaceMethod method, const QString& from, const QString& to);

// The final name of number n (1 ... INT_MAX).
using NumberedName = std::function<QString(int number)>;

// Gives the finished file `temp` the name of `number`. When that name is taken the
// next number is tried, after INT_MAX number 1, so an existing file is never
// replaced. True with the name in `finalPath`; on failure `temp` stays where it is.
bool PublishNumbered(const QString& temp, int number, const NumberedName& nameOf, QString* finalPath);

// A new, empty temporary file in `folder` (hidden, ending in ".part"), for a
// writer that publishes it when done. Empty on failure.
QString CreateTempFileIn(const QString& folder);

// Writes `bytes` to a temporary file in `folder` and publishes it as above. On
// failure (full disk, no folder, no free name) nothing is left behind.
bool WriteNumberedFile(const QString& folder, const QByteArray& bytes, int number, const NumberedName& nameOf,
                       QString* finalPath);
