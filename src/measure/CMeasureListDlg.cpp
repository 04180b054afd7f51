#include "measure/CMeasureListDlg.h"

#include "measure/ListColumnTexts.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureListRows.h"
#include "measure/MeasureTexts.h"
#include "platform/text/TextLookup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kPositionRole = Qt::UserRole;
constexpr int kInitialWidth = 560;
constexpr int kInitialHeight = 300;

const TextKey* const kTabTexts[kListTabs] = {&txt::straightline, &txt::Rectangle, &txt::Polygon, &txt::Circle,
                                             &txt::Angle};

QPushButton* AddButton(int id, const QString& text, QBoxLayout* layout)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

} // namespace

CMeasureListDlg::CMeasureListDlg(PhotoMeasureList& list, QWidget* parent) : QDialog(parent), m_list(list)
{
    setObjectName(QString::number(IDD_MEASURE_LIST));
    setWindowTitle(LoadText(txt::ListProperties));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QString::number(IDC_LIST_TABS));
    for (const TextKey* text : kTabTexts) {
        m_tabs->addTab(LoadText(*text));
    }

    m_rows = new QTreeWidget(this);
    m_rows->setObjectName(QString::number(IDC_LIST_VIEW));
    m_rows->setRootIsDecorated(false);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->header()->setStretchLastSection(false);
    m_rows->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_rows->viewport()->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    m_delete = AddButton(IDC_LIST_DELETE, LoadText(txt::Delete), buttons);
    m_deleteAll = AddButton(IDC_LIST_DELETE_ALL, LoadText(txt::DeleteAll_List), buttons);
    buttons->addStretch();
    m_export = AddButton(IDC_LIST_EXPORT, LoadText(txt::TipProperty), buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_rows, 1);
    layout->addLayout(buttons);
    resize(kInitialWidth, kInitialHeight);

    connect(m_tabs, &QTabBar::currentChanged, this, &CMeasureListDlg::OnTabChanged);
    connect(m_rows, &QTreeWidget::itemClicked, this, &CMeasureListDlg::OnListClick);
    connect(m_delete, &QPushButton::clicked, this, [this] { OnCommand(IDC_LIST_DELETE); });
    connect(m_deleteAll, &QPushButton::clicked, this, [this] { OnCommand(IDC_LIST_DELETE_ALL); });
    connect(m_export, &QPushButton::clicked, this, [this] { OnCommand(IDC_LIST_EXPORT); });

    if (parent) {
        move(parent->geometry().center() - rect().center());
    }
    Refresh();
}

QPushButton* CMeasureListDlg::Button(int id) const
{
    switch (id) {
    case IDC_LIST_DELETE:
        return m_delete;
    case IDC_LIST_DELETE_ALL:
        return m_deleteAll;
    case IDC_LIST_EXPORT:
        return m_export;
    default:
        return nullptr;
    }
}

void CMeasureListDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_LIST_DELETE:
        OnDelete();
        break;
    case IDC_LIST_DELETE_ALL:
        OnDeleteAll();
        break;
    case IDC_LIST_EXPORT:
        OnExport();
        break;
    default:
        break;
    }
}

bool CMeasureListDlg::event(QEvent* event)
{
    if (event->type() == WM_MEASURE_LIST_REFRESH) {
        Refresh();
        return true;
    }
    return QDialog::event(event);
}

bool CMeasureListDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_rows->viewport() && event->type() == QEvent::Resize) {
        FitColumns();
    }
    return QDialog::eventFilter(watched, event);
}

void CMeasureListDlg::OnTabChanged(int tab)
{
    m_tab = tab;
    Refresh();
}

void CMeasureListDlg::FitColumns()
{
    // An equal share of the width, but never less than a title or a cell needs.
    const int columns = m_rows->columnCount();
    const int share = columns > 0 ? m_rows->viewport()->width() / columns : 0;
    for (int column = 0; column < columns; ++column) {
        m_rows->resizeColumnToContents(column); // the title and every cell
        m_rows->setColumnWidth(column, std::max(share, m_rows->columnWidth(column)));
    }
}

void CMeasureListDlg::Refresh()
{
    m_rows->clear();
    QStringList titles = LocalizedColumnTitles(ListTabColumns(ListTab(m_tab)));
    QList<ListTabRow> rows = ListTabRows(m_list, ListTab(m_tab));
    AddUnits(titles, rows);
    m_rows->setColumnCount(int(titles.size()));
    m_rows->setHeaderLabels(titles);
    for (const ListTabRow& row : rows) {
        auto* item = new QTreeWidgetItem(row.cells);
        // Rows know their shape by list position: serials are not positions once
        // shapes were deleted or drawn without measuring.
        item->setData(0, kPositionRole, row.position);
        m_rows->addTopLevelItem(item);
    }
    FitColumns();
}

bool CMeasureListDlg::HasSelectedRow() const
{
    return !m_rows->selectedItems().isEmpty();
}

void CMeasureListDlg::OnListClick()
{
    if (!HasSelectedRow()) {
        return;
    }
    m_list.ClearSelection();
    m_position = m_rows->selectedItems().first()->data(0, kPositionRole).toInt();
    if (CMeasureShape* shape = m_list.At(m_position)) {
        shape->selected = 1;
    }
    emit listChanged();
}

void CMeasureListDlg::OnDelete()
{
    if (m_position < 0) {
        return;
    }
    if (HasSelectedRow()) {
        // The row the user sees highlighted, also when it was reached with the keys.
        m_position = m_rows->selectedItems().first()->data(0, kPositionRole).toInt();
        m_rows->clear();
        m_list.RemoveAt(m_position);
    }
    Refresh();
    emit listChanged();
    m_position = -1;
}

void CMeasureListDlg::OnDeleteAll()
{
    if (HasSelectedRow()) {
        m_rows->clear();
        m_list.Clear();
        m_position = -1;
        emit listChanged();
    }
    // The next measurement is numbered from the start again.
    m_list.ResetSerial();
}

void CMeasureListDlg::OnExport()
{
    RunMeasureExport(this, PhotoExportRows(m_list));
}
