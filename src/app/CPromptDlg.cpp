#include "app/CPromptDlg.h"

#include "app/AppTexts.h"
#include "app/SettingsStore.h"
#include "measure/MeasureTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CPromptDlg::CPromptDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(LoadText(txt::MsgTitle));
    m_calibrationTip = new QLabel(LoadText(txt::TipMeasurementCalibration), this);
    m_snapshotTip = new QLabel(LoadText(txt::Tipsnapshot), this);
    m_snapshotTip->setWordWrap(true);
    m_showAgain = new QCheckBox(LoadText(txt::TipPrompt), this);
    m_showAgain->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(LoadText(txt::OK), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPromptDlg::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_calibrationTip);
    layout->addWidget(m_snapshotTip);
    layout->addSpacing(8);
    layout->addWidget(m_showAgain);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void CPromptDlg::accept()
{
    AppSettings& settings = Settings();
    settings.sys_date = m_showAgain->isChecked() ? 1 : 0;
    settings.WriteSysDate();
    QDialog::accept();
}
