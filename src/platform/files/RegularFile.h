#pragma once
// Opening files found by name without trusting the name. Only a regular file (or
// a link to one) is opened: a named pipe would block the reader until a writer
// comes, a device would be read from. The type is checked on the name, the open
// never waits (O_NONBLOCK), and the descriptor actually opened is checked again,
// so a name swapped in between is refused too.
#include "platform/files/UniqueFd.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QFile;

// A read-only descriptor of `path`, or an invalid one with errno telling why
// (ENOENT: no such file, EINVAL: not a regular file).
UniqueFd OpenRegularFile(const QString& path);

// The same as a QFile opened for reading (it owns the descriptor); false as above.
bool OpenRegularFile(const QString& path, QFile* file);

// True when `path` names a regular file (links followed), without opening it.
bool IsRegularFile(const QString& path);

// Reads at most `maxBytes` of a regular file from `offset` on (fewer when the file
// is shorter). False when it is not a regular file or cannot be read.
bool ReadRegularFile(const QString& path, QByteArray* out, int64_t offset = 0,
                     int64_t maxBytes = int64_t(1) << 30);
