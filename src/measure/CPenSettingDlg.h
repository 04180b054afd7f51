#pragma once
// Line style, colour and width of new measurements, the font and colour of their
// labels, the display unit, the decimals and the still picture format. Unit,
// decimals, picture format, label font and colours are stored as soon as they are
// chosen; width and line type on OK.
#include "measure/MeasureSettingsStore.h"
#include "measure/SettingsChoosers.h"

#include <QDialog>
#include <QHash>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QToolButton;
class PreviewBox;

class CPenSettingDlg : public QDialog {
    Q_OBJECT
public:
    // `start`: the host's values; the width is not shown (the dialog starts at 1).
    CPenSettingDlg(const PenSettings& start, MeasureSettingsStore& store, SettingsChoosers choosers = {},
                   QWidget* parent = nullptr);

    // Runs modally; IDOK or IDCANCEL.
    int DoModal();
    // Command entry of the buttons and boxes, by control id.
    void OnCommand(int id);

    // The values a host takes after OK.
    PenSettings values() const { return m_values; }
    QCheckBox* Box(int id) const { return m_boxes.value(id); }
    QLineEdit* WidthEdit() const { return m_width; }
    QToolButton* WidthArrow(bool up) const { return up ? m_widthUp : m_widthDown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTypeGroup(class QGridLayout* grid);
    void BuildChoiceGroups(class QGridLayout* grid);
    QWidget* BuildWidthArrows(QWidget* parent);
    void StepWidth(int step);
    QCheckBox* AddBox(int id, const QString& text, class QLayout* layout);
    void TickOnly(std::initializer_list<int> group, int id);
    void SelectUnit(int id);
    void SelectDecimal(int id);
    void SelectFormat(int id);
    void ChooseColor();
    void ChooseFont();
    void OnWidthChanged();
    void OnOK();
    void PaintPreview(QPainter& painter, const QRect& box) const;

    PenSettings m_values;
    MeasureSettingsStore& m_store;
    SettingsChoosers m_choosers;
    QString m_unit;
    int m_decimal = 3;
    QHash<int, QCheckBox*> m_boxes;
    QLineEdit* m_width = nullptr;
    QToolButton* m_widthUp = nullptr;
    QToolButton* m_widthDown = nullptr;
    PreviewBox* m_preview = nullptr;
};

// Start values of the dialog: the host's when its label font file was read; else
// the label font record becomes the default font and the dialog starts from its own
// colours and width, with the host's current line type.
PenSettings PenDialogStart(const PenSettings& host, bool labelFontRead);
