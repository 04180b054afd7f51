#include "app/CAboutDlg.h"

#include "app/AppTexts.h"
#include "measure/MeasureTexts.h"
#include "widgets/Art.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kIconSide = 48;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kAboutItemText).remove('&').remove(QStringLiteral("...")));
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(kIconSide, kIconSide));
    auto* text = new QLabel(QStringLiteral("<b>%1</b><br>Version %2")
                                .arg(LoadText(txt::MsgTitle), QCoreApplication::applicationVersion()),
                            this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
