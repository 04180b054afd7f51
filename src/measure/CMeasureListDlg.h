#pragma once
// The measurements of the photo list in five tabs by shape family: clicking a row
// selects its shape, Delete and Delete all change the list, Export writes it to a
// spreadsheet. Modeless above the photo window; it deletes itself when closed.
#include "measure/MeasureList.h"

#include <QDialog>

class QTabBar;
class QTreeWidget;
class QPushButton;

class CMeasureListDlg : public QDialog {
    Q_OBJECT
public:
    CMeasureListDlg(PhotoMeasureList& list, QWidget* parent);

    // The list changed elsewhere: rebuild the rows of the current tab.
    void Refresh();
    // Command entry of the buttons, by control id.
    void OnCommand(int id);

    int CurrentTab() const { return m_tab; }
    // List position of the shape last clicked, -1 when none.
    int RememberedPosition() const { return m_position; }
    QTabBar* Tabs() const { return m_tabs; }
    QTreeWidget* Rows() const { return m_rows; }
    QPushButton* Button(int id) const;

signals:
    // A click selected a shape, or a deletion changed the list: the canvas repaints.
    void listChanged();

protected:
    bool event(QEvent* event) override;
    // Keeps the columns an equal share of the list's width, or wider.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTabChanged(int tab);
    void OnListClick();
    void OnDelete();
    void OnDeleteAll();
    void OnExport();
    void FitColumns();
    bool HasSelectedRow() const;

    PhotoMeasureList& m_list;
    QTabBar* m_tabs = nullptr;
    QTreeWidget* m_rows = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_deleteAll = nullptr;
    QPushButton* m_export = nullptr;
    int m_tab = 0;
    int m_position = -1;
};
