#include "capture/StillCapture.h"

#include "platform/media/SoundPlayer.h"

StillResult OnStillCaptured(StillCapturedContext context)
{
    context.job.magnification.truncate(kMagnificationBufferChars - 1);
    QString saved;
    const StillResult result = SaveStillFromStore(context.job, &saved);
    // A failed write was reported; the camera still needs its preview back.
    if (result != StillResult::NoMemory) {
        if (result == StillResult::Saved && context.listPicture) {
            context.listPicture(saved);
        }
        if ((context.recording || context.origin != 0) && context.restartPreview) {
            context.restartPreview();
        }
    }
    PlayProgramSound(kShutterSoundId);
    return result;
}
