#include "measure/CPenSettingDlg.h"

#include "measure/DrawingFonts.h"
#include "measure/MeasurePainting.h"
#include "measure/MeasureTexts.h"
#include "measure/PenSettingIds.h"
#include "measure/PreviewBox.h"
#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kPreviewInset = 10;
constexpr int kImageFormatBmp = 1;
constexpr int kImageFormatJpeg = 2;
constexpr int kPreviewHeight = 40;
constexpr int kMinArrowHeight = 10;

struct UnitBox {
    int id;
    const char* unit;
};
constexpr UnitBox kUnitBoxes[] = {
    {IDC_UNIT_MM, "mm"}, {IDC_UNIT_CM, "cm"}, {IDC_UNIT_MIL, "mil"}, {IDC_UNIT_INCH, "inch"}};
constexpr int kDecimalBoxes[] = {IDC_DECIMAL_2, IDC_DECIMAL_3, IDC_DECIMAL_4, IDC_DECIMAL_5};
constexpr int kFirstDecimals = 2;

int UnitBoxOf(const QString& unit)
{
    for (const UnitBox& box : kUnitBoxes) {
        if (unit == QLatin1String(box.unit)) {
            return box.id;
        }
    }
    return IDC_UNIT_MM;
}

int DecimalBoxOf(int decimal)
{
    const int index = decimal - kFirstDecimals;
    return index >= 0 && index < int(std::size(kDecimalBoxes)) ? kDecimalBoxes[index] : IDC_DECIMAL_5;
}

QGroupBox* Group(int id, const QString& title, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::number(id));
    return group;
}

} // namespace

CPenSettingDlg::CPenSettingDlg(const PenSettings& start, MeasureSettingsStore& store,
                               SettingsChoosers choosers, QWidget* parent)
    : QDialog(parent), m_values(start), m_store(store), m_choosers(choosers.WithDefaults())
{
    setObjectName(QString::number(IDD_PEN_SETTING));
    setWindowTitle(LoadText(txt::PenSetting));
    auto* grid = new QGridLayout(this);
    BuildTypeGroup(grid);
    BuildChoiceGroups(grid);

    // The width always starts at 1; the host's width is not shown.
    m_values.width = kMinPenWidth;
    m_width->setText(QString::number(kMinPenWidth));
    const int style = m_values.style >= 0 && m_values.style < kPenTypeBoxes ? m_values.style : kPenSolid;
    m_values.style = style;
    m_boxes[IDC_PEN_SOLID + style]->setChecked(true);
    m_unit = store.unit();
    m_decimal = store.decimal();
    m_boxes[UnitBoxOf(m_unit)]->setChecked(true);
    m_boxes[DecimalBoxOf(m_decimal)]->setChecked(true);
    m_boxes[store.imageFormat() == kImageFormatBmp ? IDC_FORMAT_BMP : IDC_FORMAT_JPG]->setChecked(true);
}

QCheckBox* CPenSettingDlg::AddBox(int id, const QString& text, QLayout* layout)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::number(id));
    // The dialog decides which box is ticked.
    connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
    layout->addWidget(box);
    m_boxes.insert(id, box);
    return box;
}

void CPenSettingDlg::BuildTypeGroup(QGridLayout* grid)
{
    QGroupBox* types = Group(IDC_PEN_TYPE_GROUP, LoadText(txt::PenType), this);
    auto* typeLayout = new QVBoxLayout(types);
    const TextKey typeTexts[kPenTypeBoxes] = {txt::SolidLine, txt::DashLine, txt::DotLine, txt::DashDotLine,
                                              txt::DashDotDotLine};
    for (int i = 0; i < kPenTypeBoxes; ++i) {
        AddBox(IDC_PEN_SOLID + i, LoadText(typeTexts[i]), typeLayout);
    }
    grid->addWidget(types, 0, 0, 2, 1);

    QGroupBox* colour = Group(IDC_PEN_COLOR_GROUP, LoadText(txt::PenColorLine), this);
    auto* colourButton = new QPushButton(LoadText(txt::PenColor), colour);
    colourButton->setObjectName(QString::number(IDC_PEN_COLOR));
    connect(colourButton, &QPushButton::clicked, this, [this] { OnCommand(IDC_PEN_COLOR); });
    (new QVBoxLayout(colour))->addWidget(colourButton);
    grid->addWidget(colour, 0, 1);

    QGroupBox* width = Group(IDC_PEN_WIDTH_GROUP, LoadText(txt::PenWidth), this);
    auto* widthLayout = new QHBoxLayout(width);
    m_width = new QLineEdit(width);
    m_width->setObjectName(QString::number(IDC_PEN_WIDTH));
    m_width->installEventFilter(this);
    widthLayout->addWidget(m_width);
    widthLayout->addWidget(BuildWidthArrows(width));
    connect(m_width, &QLineEdit::textChanged, this, [this] { OnWidthChanged(); });
    grid->addWidget(width, 1, 1);

    m_preview = new PreviewBox(
        LoadText(txt::LinePriview),
        [this](QPainter& painter, const QRect& box) { PaintPreview(painter, box); }, this);
    m_preview->setObjectName(QString::number(IDC_PEN_PREVIEW));
    m_preview->setMinimumHeight(kPreviewHeight);
    grid->addWidget(m_preview, 2, 0, 1, 2);
}

// Up and down arrows beside the width edit; held down, they repeat.
QWidget* CPenSettingDlg::BuildWidthArrows(QWidget* parent)
{
    auto* arrows = new QWidget(parent);
    arrows->setObjectName(QString::number(IDC_PEN_WIDTH_SPIN));
    auto* layout = new QVBoxLayout(arrows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int half = std::max(kMinArrowHeight, m_width->sizeHint().height() / 2);
    for (const int step : {+1, -1}) {
        auto* arrow = new QToolButton(arrows);
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setFixedSize(half + half / 2, half);
        connect(arrow, &QToolButton::clicked, this, [this, step] { StepWidth(step); });
        layout->addWidget(arrow);
        (step > 0 ? m_widthUp : m_widthDown) = arrow;
    }
    // The pair stays together beside the edit however tall the group is.
    arrows->setFixedHeight(2 * half);
    return arrows;
}

bool CPenSettingDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_width && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepWidth(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// One step up or down from the width shown, kept within the range; from an
// unreadable or refused width the step starts at the nearest end.
void CPenSettingDlg::StepWidth(int step)
{
    const int width = std::clamp(m_values.width + step, kMinPenWidth, kMaxPenWidth);
    m_width->setText(QString::number(width));
    m_width->selectAll();
}

void CPenSettingDlg::BuildChoiceGroups(QGridLayout* grid)
{
    QGroupBox* units = Group(IDC_UNITS_GROUP, LoadText(txt::Units), this);
    auto* unitLayout = new QVBoxLayout(units);
    for (const UnitBox& box : kUnitBoxes) {
        AddBox(box.id, QString::fromLatin1(box.unit), unitLayout);
    }
    QGroupBox* decimals = Group(IDC_DECIMAL_GROUP, LoadText(txt::decimal), this);
    auto* decimalLayout = new QVBoxLayout(decimals);
    QString step = QStringLiteral("0.0");
    for (const int id : kDecimalBoxes) {
        step += QLatin1Char('1');
        AddBox(id, step, decimalLayout);
        step.chop(1);
        step += QLatin1Char('0');
    }
    QGroupBox* format = Group(IDC_FORMAT_GROUP, QString(), this);
    auto* formatLayout = new QVBoxLayout(format);
    AddBox(IDC_FORMAT_BMP, QStringLiteral("bmp"), formatLayout);
    AddBox(IDC_FORMAT_JPG, QStringLiteral("jpg"), formatLayout);
    grid->addWidget(units, 0, 2);
    grid->addWidget(decimals, 1, 2);
    grid->addWidget(format, 2, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* font = buttons->addButton(LoadText(txt::Font), QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(LoadText(txt::Ok), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(LoadText(txt::Cancel), QDialogButtonBox::RejectRole);
    const std::pair<QPushButton*, int> ids[] = {
        {font, IDC_PEN_FONT}, {ok, IDC_SETTING_OK}, {cancel, IDC_SETTING_CANCEL}};
    for (const auto& [button, id] : ids) {
        button->setObjectName(QString::number(id));
        connect(button, &QPushButton::clicked, this, [this, id = id] { OnCommand(id); });
    }
    ok->setDefault(true);
    grid->addWidget(buttons, 3, 0, 1, 3);
}

int CPenSettingDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CPenSettingDlg::OnCommand(int id)
{
    if (id >= IDC_PEN_SOLID && id < IDC_PEN_SOLID + kPenTypeBoxes) {
        m_values.style = id - IDC_PEN_SOLID;
        TickOnly({IDC_PEN_SOLID, IDC_PEN_SOLID + 1, IDC_PEN_SOLID + 2, IDC_PEN_SOLID + 3, IDC_PEN_SOLID + 4},
                 id);
        m_preview->update();
    } else if (id == IDC_PEN_COLOR) {
        ChooseColor();
    } else if (id == IDC_PEN_FONT) {
        ChooseFont();
    } else if (id == IDC_SETTING_OK) {
        OnOK();
    } else if (id == IDC_SETTING_CANCEL) {
        reject();
    } else if (id == IDC_FORMAT_BMP || id == IDC_FORMAT_JPG) {
        SelectFormat(id);
    } else if (id == IDC_DECIMAL_2 || id == IDC_DECIMAL_3 || id == IDC_DECIMAL_4 || id == IDC_DECIMAL_5) {
        SelectDecimal(id);
    } else {
        SelectUnit(id);
    }
}

void CPenSettingDlg::TickOnly(std::initializer_list<int> group, int id)
{
    for (const int box : group) {
        m_boxes[box]->setChecked(box == id);
    }
}

void CPenSettingDlg::SelectUnit(int id)
{
    for (const UnitBox& box : kUnitBoxes) {
        if (box.id == id) {
            m_unit = QString::fromLatin1(box.unit);
            m_store.StoreUnitAndDecimal(m_unit, m_decimal);
            TickOnly({IDC_UNIT_MM, IDC_UNIT_CM, IDC_UNIT_MIL, IDC_UNIT_INCH}, id);
        }
    }
}

void CPenSettingDlg::SelectDecimal(int id)
{
    for (size_t i = 0; i < std::size(kDecimalBoxes); ++i) {
        if (kDecimalBoxes[i] == id) {
            m_decimal = kFirstDecimals + int(i);
        }
    }
    m_store.StoreUnitAndDecimal(m_unit, m_decimal);
    TickOnly({IDC_DECIMAL_2, IDC_DECIMAL_3, IDC_DECIMAL_4, IDC_DECIMAL_5}, id);
}

void CPenSettingDlg::SelectFormat(int id)
{
    m_store.StoreImageFormat(id == IDC_FORMAT_BMP ? kImageFormatBmp : kImageFormatJpeg);
    TickOnly({IDC_FORMAT_BMP, IDC_FORMAT_JPG}, id);
}

void CPenSettingDlg::ChooseColor()
{
    ColorRef color = m_values.lineColor;
    if (m_choosers.chooseColor(this, color)) {
        m_values.lineColor = color;
        m_store.StoreLineColor(color);
        m_preview->update();
    }
}

void CPenSettingDlg::ChooseFont()
{
    LogFontRecord font = LabelFontRecord();
    ColorRef color = m_values.labelColor;
    if (!m_choosers.chooseFont(this, font, color)) {
        return;
    }
    LabelFontRecord() = font;
    m_values.labelColor = color;
    m_store.StoreLabelColor(color);
    WriteLabelFont();
}

void CPenSettingDlg::OnWidthChanged()
{
    bool ok = false;
    const int width = m_width->text().trimmed().toInt(&ok);
    m_values.width = ok ? width : 0;
    m_preview->update();
}

void CPenSettingDlg::OnOK()
{
    // A width the edit cannot hold is refused and the dialog stays open.
    if (m_values.width < kMinPenWidth || m_values.width > kMaxPenWidth) {
        ShowMessage(this, LoadText(txt::PenWidthRange), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        m_width->setFocus();
        m_width->selectAll();
        return;
    }
    m_store.StoreLineWidth(m_values.width);
    m_store.StoreLineType(m_values.style);
    accept();
}

void CPenSettingDlg::PaintPreview(QPainter& painter, const QRect& box) const
{
    // The refused width is not drawn; OK tells why.
    if (m_values.width < kMinPenWidth || m_values.width > kMaxPenWidth) {
        return;
    }
    painter.setPen(MeasurePen(m_values.style, m_values.width, m_values.lineColor));
    const int y = box.center().y();
    painter.drawLine(box.left() + kPreviewInset, y, box.right() - kPreviewInset, y);
}

PenSettings PenDialogStart(const PenSettings& host, bool labelFontRead)
{
    if (labelFontRead) {
        return host;
    }
    LabelFontRecord() = DefaultMeasureFont();
    PenSettings start;
    start.style = host.style;
    return start;
}
