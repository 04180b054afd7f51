// The Clock button: a series of stills on a schedule. The dialog's worker asks for
// the stills; each is saved here as any other (OnStillCaptured).
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "capture/CTimerCaptureDlg.h"

void CMainDlg::OnTimeLapse()
{
    if (!NeedsPreview()) {
        return;
    }
    CTimerCaptureDlg dialog(txt::Capture, this);
    dialog.DoModal();
}
