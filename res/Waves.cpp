// The wave resources: the sound of a newly found network. The file keeps
// the wave's number as its name, as the bitmaps do, so a file on disk says
// which resource it is.
#include "platform/Resources.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

namespace {

const WaveResource kWaves[] = {
    {IDR_NEW_NETWORK_WAVE, "wave/157.wav"},
};

}  // namespace

const WaveResource* FindWaveResource(UINT id)
{
    return FindById(kWaves, id);
}
