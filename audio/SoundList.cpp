#include "audio/SoundList.h"

#include "audio/Sound.h"

namespace Orvanta {

SoundList& soundList()
{
    static SoundList list;
    return list;
}

void releaseSounds(SoundList& list)
{
    while (!list.sounds.empty())
        delete list.sounds.back();  // the destructor takes the sound out of the list
}

}  // namespace Orvanta
