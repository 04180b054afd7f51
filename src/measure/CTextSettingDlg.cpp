#include "measure/CTextSettingDlg.h"

#include "measure/DrawingFonts.h"
#include "measure/MeasurePainting.h"
#include "measure/MeasureTexts.h"
#include "measure/PenSettingIds.h"
#include "measure/PreviewBox.h"
#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTextInset = 2;
constexpr int kPreviewHeight = 60;
constexpr int kEditLines = 4;
} // namespace

CTextSettingDlg::CTextSettingDlg(MeasureSettingsStore& store, SettingsChoosers choosers, QWidget* parent)
    : QDialog(parent), m_store(store), m_choosers(choosers.WithDefaults()), m_color(store.textColor()),
      m_font(FontFromLogFont(TextFontRecord()))
{
    setObjectName(QString::number(IDD_TEXT_SETTING));
    setWindowTitle(LoadText(txt::TextSetting));
    auto* prompt = new QLabel(LoadText(txt::EnterText_TextDialog), this);
    prompt->setObjectName(QString::number(IDC_TEXT_PROMPT));
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QString::number(IDC_TEXT_EDIT));
    m_edit->setFixedHeight(QFontMetrics(m_edit->font()).lineSpacing() * kEditLines);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] { OnTextChanged(); });
    m_preview = new PreviewBox(
        LoadText(txt::Preview), [this](QPainter& painter, const QRect& box) { PaintPreview(painter, box); },
        this);
    m_preview->setObjectName(QString::number(IDC_TEXT_PREVIEW));
    m_preview->setMinimumHeight(kPreviewHeight);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* font = buttons->addButton(LoadText(txt::Font), QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(LoadText(txt::OK), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(LoadText(txt::Cancel), QDialogButtonBox::RejectRole);
    const std::pair<QPushButton*, int> ids[] = {
        {font, IDC_TEXT_FONT}, {ok, IDC_SETTING_OK}, {cancel, IDC_SETTING_CANCEL}};
    for (const auto& [button, id] : ids) {
        button->setObjectName(QString::number(id));
        connect(button, &QPushButton::clicked, this, [this, id = id] { OnCommand(id); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);
    m_edit->setFocus();
}

int CTextSettingDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTextSettingDlg::OnCommand(int id)
{
    if (id == IDC_TEXT_FONT) {
        ChooseFont();
    } else if (id == IDC_SETTING_OK) {
        accept();
    } else if (id == IDC_SETTING_CANCEL) {
        reject();
    }
}

QString CTextSettingDlg::text() const
{
    return m_edit->toPlainText();
}

void CTextSettingDlg::ChooseFont()
{
    LogFontRecord font = TextFontRecord();
    ColorRef color = m_color;
    if (!m_choosers.chooseFont(this, font, color)) {
        return;
    }
    TextFontRecord() = font;
    m_font = FontFromLogFont(font);
    m_color = color;
    m_store.StoreTextColor(color);
    WriteTextFont();
    m_preview->update();
}

void CTextSettingDlg::OnTextChanged()
{
    // The annotation holds at most kMaxTextLength characters; longer input (a paste)
    // is cut there.
    const QString current = m_edit->toPlainText();
    if (current.size() > kMaxTextLength) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setPlainText(current.left(kMaxTextLength));
        m_edit->moveCursor(QTextCursor::End);
    }
    m_preview->update();
}

void CTextSettingDlg::PaintPreview(QPainter& painter, const QRect& box) const
{
    const QFontMetrics metrics(m_font);
    painter.setFont(m_font);
    painter.setPen(ColorFromRef(m_color));
    const int top = box.center().y() - metrics.height() / 2;
    painter.drawText(QPoint(box.left() + kTextInset, top + metrics.ascent()), text());
}
