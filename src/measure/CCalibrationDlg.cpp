#include "measure/CCalibrationDlg.h"

#include "measure/Calibration.h"
#include "measure/CalibrationDlgIds.h"
#include "measure/MeasureTexts.h"
#include "measure/NumberText.h"
#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCalibrationDlg::CCalibrationDlg(const QString& unit, QWidget* parent) : QDialog(parent), m_unit(unit)
{
    setObjectName(QString::number(IDD_CALIBRATION));
    setWindowTitle(LoadText(txt::Calibration));
    m_prompt = new QLabel(LoadText(txt::EnterActualDistance), this);
    m_prompt->setObjectName(QString::number(IDC_CALIBRATION_PROMPT));
    m_distance = new QLineEdit(this);
    m_distance->setObjectName(QString::number(IDC_CALIBRATION_DISTANCE));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(LoadText(txt::OK), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(LoadText(txt::Cancel), QDialogButtonBox::RejectRole);
    ok->setObjectName(QString::number(IDC_CALIBRATION_OK));
    cancel->setObjectName(QString::number(IDC_CALIBRATION_CANCEL));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnCommand(IDC_CALIBRATION_OK); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCommand(IDC_CALIBRATION_CANCEL); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_distance);
    layout->addWidget(buttons);
    m_distance->setFocus();
}

int CCalibrationDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CCalibrationDlg::OnCommand(int id)
{
    if (id == IDC_CALIBRATION_OK) {
        OnOK();
    } else if (id == IDC_CALIBRATION_CANCEL) {
        reject();
    }
}

void CCalibrationDlg::OnOK()
{
    const double distance = MillimetresToUnit(ParseLeadingNumber(m_distance->text()), m_unit);
    Calibration().actualDistance = distance;
    // A length of zero (or no number) cannot calibrate anything, and a negative one
    // would turn every later value negative: ask again.
    if (!(distance > 0)) {
        ShowMessage(this, LoadText(txt::EnterDigital), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    accept();
}
