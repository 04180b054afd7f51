#pragma once
// The main window's file commands on the captured-files strip: each checks that a
// file is selected (warning otherwise) and hands the work to the strip.
#include <QString>

class CFileListView;
class QWidget;

// What opening a file means, by its extension.
enum class OpenKind { None, Picture, Video };
// "bmp", "jpg", "BMP", "JPG": a picture; "avi", "AVI": a video; anything else none.
OpenKind OpenKindOf(const QString& path);

class FileCommands {
public:
    FileCommands(CFileListView& list, QWidget* owner) : m_list(list), m_owner(owner) {}

    // Open (32776): what to post for the selected file (WM_OPEN_PICTURE for a
    // picture, WM_OPEN_VIDEO for a video); None when nothing is selected.
    OpenKind Open();
    // WM_OPEN_PICTURE: true when the file can be read; otherwise the user is told.
    bool CheckPictureReadable(const QString& path);
    // Save as (1008, 32777).
    void SaveAs();
    // Delete (32778), Delete all (32792), Save all (386).
    void Delete();
    void DeleteAll();
    void SaveAll();

    // The save-as name proposed for a file: its name without the last four
    // characters (the dot and a three-letter extension).
    static QString ProposedSaveName(const QString& path);
    // True when the chosen path lies in `folder` itself (letter case ignored).
    static bool IsInsideFolder(const QString& chosen, const QString& folder);

private:
    bool Selected(QString* path, const struct TextKey& warning);

    CFileListView& m_list;
    QWidget* m_owner;
};
