// Printing and e-mailing the file selected in the captured-files strip.
#include "app/CMainDlg.h"
#include "files/CMailSendDlg.h"
#include "files/FilesStripController.h"
#include "files/FilesTexts.h"
#include "files/PicturePrint.h"

void CMainDlg::OnPrint()
{
    const QString path = m_strip->NeedsSelection(txt::SelectFile_Print);
    if (!path.isEmpty()) {
        PrintPicture(path, this);
    }
}

void CMainDlg::OnEmail()
{
    const QString path = m_strip->NeedsSelection(txt::SelectFile);
    if (!path.isEmpty()) {
        CMailSendDlg dialog(path, this);
        dialog.DoModal();
    }
}
