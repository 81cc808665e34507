// The file layer's start-up and release.
#include "files/file_system.h"
#include "files/path_parts.h"
#include "files/known_folders.h"
#include "runtime/platform.h"

namespace {

bool gStarted = false;
PathSpec* gRoot = nullptr;

void FileLayerRelease() {
  PathDispose(gRoot);
  gRoot = nullptr;
  FileSetDialogModule(nullptr);
  gStarted = false;
}

// A windowed program shows dialogs; a console program asks on its console.
HMODULE DefaultDialogModule() {
  auto* module = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(module + dos->e_lfanew);
  return headers->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI ? GetModuleHandleA(nullptr) : nullptr;
}

}  // namespace

PathSpec* FileLayerRoot() { return gRoot; }

Status FileLayerStart() {
  Status status = PlatformStart();
  if (status != kOk || gStarted) return status;
  // The stream kinds and the file type table are constant tables: nothing to install.
  status = PlatformAtExit(FileLayerRelease);
  if (status != kOk) return status;
  gRoot = PathNew();
  if (!gRoot) return kErrMemory;
  status = SpecialFolderResolve(kLocationProgramFolder, gRoot);
  if (status != kOk) {
    FileLayerRelease();
    return status;
  }
  FileSetDialogModule(DefaultDialogModule());
  gStarted = true;
  return kOk;
}
