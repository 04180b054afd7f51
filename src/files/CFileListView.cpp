#include "files/CFileListView.h"

#include "files/FileListLayout.h"
#include "files/FileOps.h"
#include "widgets/Art.h"

#include <QEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace {

constexpr int kMinPictureBytes = 41; // shorter files hold no picture
const QColor kSelectionPen(12, 191, 0);
const QColor kNotSavedPen(243, 63, 255);
constexpr int kMarkPenWidth = 2;
constexpr int kFrameInflate = 2;
// The page art covers the tabs and the strip; the strip starts at this offset.
constexpr QSize kPageArtSize(164, 504);
constexpr QPoint kStripOffsetInPage(2, 42);
const QColor kFallbackBackground(0xd2, 0xe9, 0xfc);

const char* PageArtName(int page)
{
    return page == PagePictures ? "page_147" : "page_146";
}

bool IsPictureName(const QString& name)
{
    const QString ext = ExtensionOf(name);
    return ext.compare("bmp", Qt::CaseInsensitive) == 0 || ext.compare("jpg", Qt::CaseInsensitive) == 0;
}

// The wheel never scrolls the strip, not even over its scroll bar.
class WheelEater : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Wheel; }
};

} // namespace

CFileListView::CFileListView(const QString& pictureFolder, const QString& videoFolder, QWidget* parent)
    : QWidget(parent), m_folders{videoFolder, pictureFolder},
      m_pictureCache([](const QString& path) { return DecodeThumbnail(path, false); }),
      m_videoCache([](const QString& path) { return DecodeThumbnail(path, true); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(kScrollPage);
    // A slim dark bar that sits quietly on the strip's slate panel.
    m_scrollBar->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{background:#1f2a33;width:12px;margin:0;border:none;}"
        "QScrollBar::handle:vertical{background:#5b6f80;border-radius:4px;min-height:24px;margin:2px;}"
        "QScrollBar::handle:vertical:hover{background:#7fb3dc;}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}"));
    m_barWidth = m_scrollBar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollBar);
    m_scrollBar->installEventFilter(new WheelEater(m_scrollBar));
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CFileListView::OnScroll);
    Scan(PagePictures);
    Scan(PageVideos);
    UpdateScrollBar();
}

CFileListView::~CFileListView() = default;

void CFileListView::Scan(int page)
{
    m_items[page].clear();
    m_selected[page] = -1;
    m_topRow[page] = 0;
    const QString folder = m_folders[page];
    const QStringList names = ListFolder(folder, page == PagePictures ? "*" : "*.avi");
    for (const QString& name : names) {
        const QFileInfo info(folder + "/" + name);
        if (page == PagePictures && (!IsPictureName(name) || info.size() < kMinPictureBytes)) {
            continue;
        }
        AddItem(page, info.filePath(), FileItemPresent | FileItemNotSaved);
        m_topRow[page] = TopRowAfterScan(int(m_items[page].size()));
    }
}

void CFileListView::AddItem(int page, const QString& path, uint32_t flags)
{
    m_items[page].append({path, flags});
}

void CFileListView::SetPage(int page)
{
    m_page = page == PageVideos ? PageVideos : PagePictures;
}

QSize CFileListView::ClientSize() const
{
    return QSize(std::max(0, width() - m_barWidth), height());
}

QRect CFileListView::CellRect(int cell) const
{
    const QSize client = ClientSize();
    return StripCellRect(cell, client.width(), client.height());
}

void CFileListView::resizeEvent(QResizeEvent*)
{
    m_scrollBar->setGeometry(width() - m_barWidth, 0, m_barWidth, height());
    Redraw();
}

void CFileListView::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

bool CFileListView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const QString name = NameAt(help->pos());
    if (name.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), name, this);
    }
    return true;
}

QString CFileListView::NameAt(const QPoint& point) const
{
    for (int cell = 0; cell < m_cellItems.size(); ++cell) {
        if (CellRect(cell).contains(point)) {
            return FileNameOf(m_items[m_page][m_cellItems[cell]].path);
        }
    }
    return QString();
}

void CFileListView::paintEvent(QPaintEvent* event)
{
    if (m_offscreen.size() != ClientSize()) {
        Redraw();
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), m_offscreen, event->rect());
}

void CFileListView::Refresh()
{
    UpdateScrollBar();
    Redraw();
}

void CFileListView::UpdateScrollBar()
{
    const int count = int(m_items[m_page].size());
    m_topRow[m_page] = TopRowAfterScrollUpdate(m_topRow[m_page], count);
    m_updatingScrollBar = true;
    m_scrollBar->setRange(0, StripScrollMax(count));
    m_scrollBar->setValue(m_topRow[m_page]);
    m_scrollBar->setEnabled(StripScrollEnabled(count));
    m_updatingScrollBar = false;
}

void CFileListView::OnScroll(int position)
{
    if (m_updatingScrollBar) {
        return;
    }
    m_topRow[m_page] = std::clamp(position, 0, StripScrollMax(int(m_items[m_page].size())));
    Redraw();
}

void CFileListView::ClearSelection(int page)
{
    const int index = m_selected[page];
    if (index >= 0 && index < m_items[page].size()) {
        m_items[page][index].flags &= ~uint32_t(FileItemSelected);
    }
    m_selected[page] = -1;
}

void CFileListView::Select(int page, int index, bool setFlag)
{
    ClearSelection(page);
    m_selected[page] = index;
    if (setFlag) {
        m_items[page][index].flags |= FileItemSelected;
    }
}

void CFileListView::RemoveAt(int page, int index)
{
    if (index < 0 || index >= m_items[page].size()) {
        return;
    }
    m_items[page].removeAt(index);
    if (m_selected[page] == index) {
        m_selected[page] = -1;
    } else if (m_selected[page] > index) {
        --m_selected[page];
    }
}

void CFileListView::RemoveByPath(const QString& path)
{
    const QVector<FileItem>& items = m_items[m_page];
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].path == path) {
            RemoveAt(m_page, i);
            return;
        }
    }
}

void CFileListView::AddCapturedPicture(const QString& path)
{
    AddItem(PagePictures, path, FileItemPresent | FileItemNotSaved);
    m_topRow[PagePictures] = TopRowAfterAdd(int(m_items[PagePictures].size()));
    UpdateScrollBar();
    Select(PagePictures, int(m_items[PagePictures].size()) - 1, false);
    Redraw();
}

void CFileListView::AddRecordedVideo(const QString& path)
{
    AddItem(PageVideos, path, FileItemPresent | FileItemNotSaved | FileItemSelected);
    m_topRow[PageVideos] = TopRowAfterAdd(int(m_items[PageVideos].size()));
    UpdateScrollBar();
    ClearSelection(PageVideos);
    m_selected[PageVideos] = int(m_items[PageVideos].size()) - 1;
    m_items[PageVideos].last().flags |= FileItemSelected;
    Redraw();
}

int CFileListView::HitTest(const QPoint& screenPoint)
{
    ClearSelection(m_page);
    const QPoint point = mapFromGlobal(screenPoint);
    for (int cell = 0; cell < m_cellItems.size(); ++cell) {
        if (CellRect(cell).contains(point)) {
            Select(m_page, m_cellItems[cell], true);
            Redraw();
            return 1;
        }
    }
    Redraw(); // no frame may stay around an item that is no longer selected
    return 0;
}

bool CFileListView::GetSelectedPath(QString* path, uint32_t* flags) const
{
    const int index = m_selected[m_page];
    if (index < 0 || index >= m_items[m_page].size()) {
        return false;
    }
    if (path) {
        *path = m_items[m_page][index].path;
    }
    if (flags) {
        *flags = m_items[m_page][index].flags;
    }
    return true;
}

void CFileListView::Redraw()
{
    const QSize client = ClientSize();
    if (client.isEmpty()) {
        return;
    }
    if (m_offscreen.size() != client) {
        m_offscreen = QImage(client, QImage::Format_RGB32);
    }
    QPainter painter(&m_offscreen);
    const QPixmap art = ArtPixmap(PageArtName(m_page), kPageArtSize);
    // A file that vanished is dropped and the page drawn again from its new top row.
    do {
        if (art.isNull()) {
            painter.fillRect(m_offscreen.rect(), kFallbackBackground);
        } else {
            painter.drawPixmap(QPoint(0, 0), art, QRect(kStripOffsetInPage, client));
        }
    } while (!DrawThumbnails(painter));
    DrawSelectionFrame(painter);
    painter.end();
    update();
}

bool CFileListView::DrawThumbnails(QPainter& painter)
{
    m_cellItems.clear();
    ThumbnailCache& cache = m_page == PagePictures ? m_pictureCache : m_videoCache;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPen mark(kNotSavedPen, kMarkPenWidth, Qt::DotLine);
    for (int index = 2 * m_topRow[m_page];
         index < m_items[m_page].size() && m_cellItems.size() < kStripCells;) {
        const FileItem item = m_items[m_page][index];
        FileStamp stamp;
        const StampResult state = StampFile(item.path, &stamp);
        if (state == StampResult::Missing) {
            ClearSelection(m_page);
            RemoveAt(m_page, index);
            cache.Forget(item.path);
            UpdateScrollBar();
            return false;
        }
        const QImage thumb = state == StampResult::Ok ? cache.Get(item.path, stamp) : QImage();
        ++index;
        if (thumb.isNull()) {
            continue;
        }
        const QRect cell = CellRect(int(m_cellItems.size()));
        m_cellItems.append(index - 1);
        painter.drawImage(cell, thumb);
        if (item.flags & FileItemNotSaved) {
            const QRect r = cell.adjusted(-kFrameInflate, -kFrameInflate, kFrameInflate, kFrameInflate);
            const int right = r.left() + r.width();
            const int bottom = r.top() + r.height();
            painter.save();
            painter.setCompositionMode(QPainter::RasterOp_NotSource);
            painter.setPen(mark);
            painter.drawLine(right, r.top() + cell.height() * 3 / 4, right, bottom);
            painter.drawLine(r.left() + cell.width() * 3 / 4, bottom, right - 2, bottom);
            painter.restore();
        }
    }
    cache.Trim(4 * kStripCells);
    return true;
}

void CFileListView::DrawSelectionFrame(QPainter& painter)
{
    const int cell = int(m_cellItems.indexOf(m_selected[m_page]));
    if (m_selected[m_page] < 0 || cell < 0) {
        return;
    }
    const QRect r =
        CellRect(cell).adjusted(-kFrameInflate, -kFrameInflate, kFrameInflate - 1, kFrameInflate - 1);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(kSelectionPen, kMarkPenWidth, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
    painter.restore();
}
