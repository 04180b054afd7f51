#include "measure/FontColourDialog.h"

#include "measure/MeasureTexts.h"
#include "platform/text/TextCatalogue.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr QSize kSwatchSize(32, 14);
} // namespace

FontColourDialog::FontColourDialog(const QFont& font, const QColor& colour, QWidget* parent)
    : QDialog(parent), m_colour(colour)
{
    setWindowTitle(LoadText(txt::Font));
    // The font dialog lives inside this one, without buttons of its own.
    m_fonts = new QFontDialog(font, this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(LoadText(txt::PenColor), this));
    m_colourButton = new QPushButton(this);
    m_colourButton->setIconSize(kSwatchSize);
    m_colourButton->setAutoDefault(false);
    connect(m_colourButton, &QPushButton::clicked, this, &FontColourDialog::ChooseColour);
    colourRow->addWidget(m_colourButton);
    colourRow->addStretch();
    ShowColour();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

QFont FontColourDialog::ChosenFont() const
{
    return m_fonts->currentFont();
}

void FontColourDialog::ChooseColour()
{
    const QColor chosen = QColorDialog::getColor(m_colour, this);
    if (chosen.isValid()) {
        m_colour = chosen;
        ShowColour();
    }
}

void FontColourDialog::ShowColour()
{
    QPixmap swatch(kSwatchSize);
    swatch.fill(m_colour);
    m_colourButton->setIcon(swatch);
    m_colourButton->setToolTip(m_colour.name());
}
