// The Clock button: a series of stills on a schedule. The dialog's worker asks the
// capture session for the stills; each is saved and listed as any other.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "capture/CaptureSession.h"
#include "capture/dialogs/CTimerCaptureDlg.h"

void CMainDlg::OnTimeLapse()
{
    if (!NeedsPreview()) {
        return;
    }
    TimeLapseSeams seams;
    CaptureSession* session = m_session.get();
    // The worker thread asks: the request is an atomic flag of the session.
    seams.requestStill = [session] { session->RequestStill(StillOriginUser); };
    seams.liveFrame = [session] {
        return TimeLapseFrameInfo{session->StoredFrameBytes(), session->Format().CaptureDeviceClass};
    };
    CTimerCaptureDlg dialog(txt::Capture, this, std::move(seams));
    dialog.DoModal();
}
