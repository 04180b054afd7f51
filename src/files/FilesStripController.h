#pragma once
// The main window's side of the captured-files strip: which page is shown, the
// selected file, and the file commands (open, save as, delete, delete all, save
// all). The window routes its commands here and hands over what it must post or
// run itself (the open messages, the photo window, the player).
#include "platform/text/TextLookup.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class CFileListView;
class QWidget;

class FilesStripController : public QObject {
public:
    using PathHandOff = std::function<void(const QString& path)>;
    struct HandOffs {
        // Asks the window to open the selected picture or video (it posts its open
        // message, so the command returns first).
        std::function<void()> requestOpenPicture;
        std::function<void()> requestOpenVideo;
        // Viewers of an opened file; unset while they are not there.
        PathHandOff photoWindow;
        PathHandOff player;
    };

    // `owner` owns the boxes shown; the strip is created as a child of `parent`
    // at `geometry`.
    FilesStripController(QWidget& owner, const QString& pictureFolder, const QString& videoFolder,
                         QWidget* parent, const QRect& geometry);

    CFileListView* View() const { return m_view; }
    void SetCaption(const QString& caption) { m_caption = caption; }
    void SetHandOffs(HandOffs handOffs) { m_handOffs = std::move(handOffs); }

    int Page() const;
    // Shows `page`; false when it was shown already.
    bool SwitchPage(int page);
    void Refresh();
    // True when `watched` is the strip or one of its children.
    bool Contains(const QObject* watched) const;
    // Selects the thumbnail under the screen point; true when there was one.
    bool HitTest(QPoint global);
    QString SelectedPath() const;
    // The selected file's path; warns with `warning` and gives "" when none is selected.
    QString NeedsSelection(const TextKey& warning);
    // Asks the window to open `path` by its extension (pictures, videos; others nothing).
    void RequestOpen(const QString& path);
    void AddCapturedPicture(const QString& path);

    // The file commands.
    void Open();
    void OpenPicture();
    void OpenVideo();
    void SaveAs();
    void Delete();
    void DeleteAll();
    void SaveAll();

private:
    QWidget& m_owner;
    CFileListView* m_view = nullptr;
    QString m_pictureFolder;
    QString m_videoFolder;
    QString m_caption;
    HandOffs m_handOffs;
};
