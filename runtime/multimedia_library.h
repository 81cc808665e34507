// The multimedia clock and sounds from their library, loaded when first used (see late_library.h). The
// clock is first read by the housekeeping thread as the platform starts, so the library - and what it
// needs, which the rich-edit library needs too - loads there, beside the window's first work rather
// than before the program's first instruction.
#pragma once

#include <windows.h>

// As timeGetTime; without the library, GetTickCount (the same milliseconds since the system started).
DWORD MultimediaTime();
// As PlaySoundA; without the library, FALSE.
BOOL MultimediaPlaySound(const char* sound, HMODULE module, DWORD flags);
