#pragma once
// The file handed to the mail program. Bitmaps (".bmp", lower case) are sent as a
// JPEG copy kept in a folder of their own inside the program's writable folder;
// any other file is sent as it is.
#include <QString>

enum class AttachmentStatus {
    Ready,
    NotLoaded,     // the bitmap could not be read: "imageEmail Create fail"
    NotCompressed, // the JPEG could not be written: "Compress fail"
};

// Folder of the JPEG copies; every ".jpg" in it is one we wrote.
QString MailPictureFolder();

// The attachment for `source` into `attachment`. Converting removes the copies
// earlier sends left behind first.
AttachmentStatus PrepareMailAttachment(const QString& source, QString* attachment);
