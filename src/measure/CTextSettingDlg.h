#pragma once
// Takes the text of a text annotation and its font and colour. The font and colour
// are stored as soon as they are chosen.
#include "measure/MeasureSettingsStore.h"
#include "measure/SettingsChoosers.h"

#include <QDialog>

class QPlainTextEdit;
class PreviewBox;

class CTextSettingDlg : public QDialog {
    Q_OBJECT
public:
    // The caller has read the text font record (ReadTextFontOrDefault).
    explicit CTextSettingDlg(MeasureSettingsStore& store, SettingsChoosers choosers = {},
                             QWidget* parent = nullptr);

    int DoModal();
    void OnCommand(int id);

    QString text() const;
    ColorRef textColor() const { return m_color; }
    QPlainTextEdit* TextEdit() const { return m_edit; }

private:
    void ChooseFont();
    void OnTextChanged();
    void PaintPreview(QPainter& painter, const QRect& box) const;

    MeasureSettingsStore& m_store;
    SettingsChoosers m_choosers;
    ColorRef m_color = 255;
    QFont m_font;
    QPlainTextEdit* m_edit = nullptr;
    PreviewBox* m_preview = nullptr;
};
