#pragma once
// The captured-files strip: thumbnails of the picture folder or the video folder
// in two columns and six rows, with selection, scrolling and the file commands.
#include "files/FileDialogs.h"
#include "files/Thumbnails.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <cstdint>

class QScrollBar;

// Bits of an item's flag word.
enum FileItemFlag : uint32_t {
    FileItemPresent = 0x1,
    FileItemNotSaved = 0x2, // not yet saved elsewhere
    FileItemSelected = 0x4,
};

struct FileItem {
    QString path;
    uint32_t flags = FileItemPresent | FileItemNotSaved;
};

enum FileListPage : int { PageVideos = 0, PagePictures = 1 };

// What SaveSelectedAs did; 0 (false) only when nothing was selected.
enum SaveAsResult : int { SaveAsNoSelection = 0, SaveAsSaved = 1, SaveAsNotSaved = 2 };

class CFileListView : public QWidget {
    Q_OBJECT
public:
    // Scans both folders; the pictures page is shown first.
    CFileListView(const QString& pictureFolder, const QString& videoFolder, QWidget* parent = nullptr);
    ~CFileListView() override;

    // Which page is shown (PagePictures or PageVideos).
    void SetPage(int page);
    int Page() const { return m_page; }

    // Updates the scroll bar and redraws.
    void Refresh();
    // Adds the picture just saved, as the page's selected item.
    void AddCapturedPicture(const QString& path);
    // Adds a video just recorded, selected.
    void AddRecordedVideo(const QString& path);
    // 1 when the screen point lies on a shown thumbnail, which becomes selected.
    int HitTest(const QPoint& screenPoint);
    // The selected item of the shown page, if any.
    bool GetSelectedPath(QString* path, uint32_t* flags = nullptr) const;
    // The "Save as" dialog for the selected file: its name without the extension,
    // the page's file types, opening in the page's own folder.
    SaveDialogRequest SaveAsRequest() const;
    // Copies (or converts to JPEG) the selected file; failures are shown to the user.
    SaveAsResult SaveSelectedAs(const QString& destination);
    void DeleteSelected();
    void DeleteAll();
    void SaveAllVideos();
    void SaveAllPictures();
    // Drops an item from the shown page's list.
    void RemoveByPath(const QString& path);

    QString PictureFolder() const { return m_folders[PagePictures]; }
    QString VideoFolder() const { return m_folders[PageVideos]; }

    // State, for the main window and tests.
    const QVector<FileItem>& Items(int page) const { return m_items[page]; }
    int TopRow(int page) const { return m_topRow[page]; }
    int SelectedIndex(int page) const { return m_selected[page]; }
    QRect CellRect(int cell) const;
    QScrollBar* ScrollBar() const { return m_scrollBar; }
    // The composed picture the window shows.
    const QImage& Offscreen() const { return m_offscreen; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // A thumbnail's tooltip is its file name.
    bool event(QEvent* event) override;

private:
    void Scan(int page);
    void AddItem(int page, const QString& path, uint32_t flags);
    void RemoveAt(int page, int index);
    void ClearSelection(int page);
    void Select(int page, int index, bool setFlag);
    void UpdateScrollBar();
    void OnScroll(int position);
    void Redraw();
    bool DrawThumbnails(class QPainter& painter); // false: an item vanished, draw again
    void DrawSelectionFrame(class QPainter& painter);
    QSize ClientSize() const;
    QString NameAt(const QPoint& point) const; // file name drawn at a client point, "" for none
    enum class CopyOutcome { Copied, Kept, Failed };
    void SaveAll(int page, const QString& pattern, const QString& filter, bool askReplace);
    CopyOutcome CopyForSaveAll(const QString& source, const QString& destination, bool askReplace);
    void DeleteCopied(int page, const QStringList& copied);
    void DeleteFilesOfFolder(const QString& folder);
    bool ConfirmedWithSelection(const QString& question, QString* path);
    bool AskToDelete(const QString& question);
    void MarkSaved(int page, const QStringList& copied);

    QString m_folders[2];
    QVector<FileItem> m_items[2];
    int m_topRow[2] = {0, 0};
    int m_selected[2] = {-1, -1};
    int m_page = PagePictures;
    QVector<int> m_cellItems; // item index shown in each filled cell
    QScrollBar* m_scrollBar = nullptr;
    int m_barWidth = 0;
    bool m_updatingScrollBar = false;
    QImage m_offscreen;
    ThumbnailCache m_pictureCache;
    ThumbnailCache m_videoCache;
};
