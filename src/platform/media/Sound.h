// Asynchronous playback of the program's wave resources, Win32-shaped.
#pragma once

#include "platform/Types.h"

constexpr DWORD SND_SYNC = 0x00000000;
constexpr DWORD SND_ASYNC = 0x00000001;
constexpr DWORD SND_NODEFAULT = 0x00000002;
constexpr DWORD SND_PURGE = 0x00000040;
constexpr DWORD SND_RESOURCE = 0x00040004;

// Plays wave resource `name` (a MAKEINTRESOURCEW number) of the program's own
// module; `module` may be null. Only SND_RESOURCE | SND_ASYNC (with
// SND_NODEFAULT) is supported: the call returns at once, and a sound that is
// already playing starts again from the beginning. Returns TRUE when the
// sound was started; FALSE for an unknown resource, an unsupported flag, or
// when there is no audio output (then nothing is heard and nothing printed).
// Playing needs a running Qt application; without one the call is silent.
BOOL PlaySoundW(const WCHAR* name, HINSTANCE module, DWORD flags);

// The guiding click: a short tick repeated `milliHertz` / 1000 times a
// second, made as it plays on a thread of the sound module's own; 0 stops it
// at once. A new rate keeps the stream going and is heard from the next
// tick. Returns TRUE when the rate was taken, FALSE where nothing can be
// heard (no audio output, no module, no running Qt application, or a call
// from another thread than the application's); then nothing else happens.
BOOL SetClickRate(DWORD milliHertz);
