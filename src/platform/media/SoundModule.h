// The interface between the sound player in every program and the module
// that holds Qt Multimedia (tarvolin-sound.so). Qt Multimedia brings the
// sound server's and the codecs' libraries, a third of all a window program
// would load at start; the module is loaded when the first sound plays.
#pragma once

#include <cstdint>

// The names of the functions the module exports.
#define TARVOLIN_SOUND_PLAY_SYMBOL "TarvolinSoundPlayWaveFile"
#define TARVOLIN_SOUND_CLICKS_SYMBOL "TarvolinSoundSetClickRate"

// The exported function: plays the wave resource `resource` of the program,
// held in the embedded file `file` (its path under res/, embedded under
// ":/"), on the running application's thread, from its beginning. Returns 1
// when it was started, 0 when the machine has no audio output or `file` is
// null.
using SoundPlayFunction = int (*)(std::uintptr_t resource, const char* file);

// The exported function: sets the guiding click's rate in clicks per 1000
// seconds, 0 to stop it. Called on the application's thread; the clicks are
// made and played on a thread of the module's own. Returns 1 when the rate
// was taken, 0 when the machine has no audio output.
using SoundClicksFunction = int (*)(std::uint32_t milliHertz);
