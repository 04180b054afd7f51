#include "capture/StillCapture.h"

#include "platform/media/SoundPlayer.h"

int OnStillCaptured(StillCapturedContext context)
{
    context.job.magnification.truncate(kMagnificationBufferChars - 1);
    QString saved;
    const int result = SaveStillFromStore(context.job, &saved);
    if (result == 1) {
        if (!saved.isEmpty() && context.listPicture) {
            context.listPicture(saved);
        }
        if ((context.recording || context.origin != 0) && context.restartPreview) {
            context.restartPreview();
        }
    }
    PlayProgramSound(kShutterSoundId);
    return result;
}
