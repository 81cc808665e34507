#include "runtime/multimedia_library.h"

#include <mmsystem.h>

#include "runtime/late_library.h"

namespace {

struct MultimediaFunctions {
  decltype(&timeGetTime) time;
  decltype(&PlaySoundA) playSound;
};

const MultimediaFunctions& Functions() {
  static const MultimediaFunctions functions = [] {
    MultimediaFunctions found{};
    const HMODULE library = LoadLibraryA("winmm.dll");
    FindLateFunction(library, "timeGetTime", &found.time);
    FindLateFunction(library, "PlaySoundA", &found.playSound);
    return found;
  }();
  return functions;
}

}  // namespace

DWORD MultimediaTime() { return Functions().time ? Functions().time() : GetTickCount(); }

BOOL MultimediaPlaySound(const char* sound, HMODULE module, DWORD flags) {
  return Functions().playSound ? Functions().playSound(sound, module, flags) : FALSE;
}
