#pragma once
// The font chooser of the pen and text dialogs: the platform's font lists with the
// colour of the label or note beside them, chosen in the same dialog.
#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

class FontColourDialog : public QDialog {
    Q_OBJECT
public:
    FontColourDialog(const QFont& font, const QColor& colour, QWidget* parent = nullptr);

    QFont ChosenFont() const;
    QColor ChosenColour() const { return m_colour; }
    QPushButton* ColourButton() const { return m_colourButton; }

private:
    void ChooseColour();
    void ShowColour();

    QFontDialog* m_fonts = nullptr;
    QPushButton* m_colourButton = nullptr;
    QColor m_colour;
};
