#include "audio/UpdateAudio.h"

#include "audio/Sound.h"
#include "scene/Camera.h"

#include <AL/al.h>

namespace Orvanta {

void updateAudio(SoundList& list, const Camera& camera)
{
    alListener3f(AL_POSITION, camera.position.x, camera.position.y, camera.position.z);
    Float3 at = rotate(camera.orientation, {0, 0, 1});
    Float3 up = rotate(camera.orientation, {0, 1, 0});
    const float orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, listenerGain);
    for (Sound* sound : list.sounds)
        sound->update();
}

}  // namespace Orvanta
