#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {
MessageResponder g_responder;

QMessageBox::StandardButtons ButtonsFor(unsigned flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

// The button the platform counts second in each set.
QMessageBox::StandardButton SecondButtonOf(unsigned flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        return QMessageBox::Cancel;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Room the window manager's title bar takes besides the caption: the window
// icon and its buttons, with their spacing.
constexpr int kTitleBarExtras = 160;

// A box with a short text would be narrower than its caption: the desktop then
// cuts the caption. A spanning spacer keeps the box wide enough for it.
void FitCaption(QMessageBox& box, const QString& caption)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarExtras;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
}

int ResultFor(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}
} // namespace

int ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned flags)
{
    if (g_responder) {
        return g_responder(text, caption, flags);
    }
    QMessageBox box(IconFor(flags), caption, text, ButtonsFor(flags), owner);
    if ((flags & MB_DEFBUTTON2) != 0) {
        box.setDefaultButton(SecondButtonOf(flags));
    }
    FitCaption(box, caption);
    box.exec();
    return ResultFor(box.standardButton(box.clickedButton()));
}

void SetMessageResponder(MessageResponder responder)
{
    g_responder = std::move(responder);
}
