#pragma once
// The program's own art: window bitmaps, button and menu icons, cursors, the
// application icon and the sounds, all compiled in from resources/.
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

enum class ArtState { Normal, Active, Disabled };

// Renders resources/art/<name>.svg at exactly `size` (device-independent pixels).
// Active and Disabled looks come from <name>_active.svg / <name>_disabled.svg when
// those exist, else they are derived from the normal look. Results are cached.
// An unknown name or an empty size gives a null pixmap.
QPixmap ArtPixmap(const QString& name, QSize size, ArtState state = ArtState::Normal);

// Cursor drawn from <name>.svg at its natural size, hotspot at its centre; the
// standard cross cursor when the art is missing.
QCursor ArtCursor(const QString& name);

// The application icon at the usual sizes.
QIcon AppIcon();

// Resource path of sound `id` (180, 181, 182), ":/sounds/<id>.wav"; for QSoundEffect
// use QUrl("qrc" + path). Empty when there is no such sound.
QString SoundPath(int id);

// True when resources/art/<name>.svg is compiled in.
bool HasArt(const QString& name);
