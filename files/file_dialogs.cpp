// The open and save dialogs, or the console prompts where the program shows no dialogs.
#include <cstring>

#include "files/archive_names.h"
#include "files/file_choice.h"
#include "files/file_system.h"
#include "files/path_open.h"
#include "files/path_parts.h"
#include "files/windows_errors.h"
#include "runtime/common_dialogs.h"
#include "runtime/platform.h"
#include "runtime/text.h"

namespace {

constexpr char kFilter[] = "All Files (*.*)\0*.*\0";
constexpr DWORD kChosenPathSize = 261;

HMODULE gDialogModule = nullptr;

// A hidden platform window far off the screen would take its dialogs with it.
HWND DialogOwner() {
  HWND owner = PlatformWindow();
  return owner && IsWindowVisible(owner) ? owner : nullptr;
}

OPENFILENAMEA DialogRecord(char* file, const char* title) {
  OPENFILENAMEA record = {};
  record.lStructSize = sizeof record;
  record.hwndOwner = DialogOwner();
  record.hInstance = gDialogModule;
  record.lpstrFilter = kFilter;
  record.nFilterIndex = 1;
  record.lpstrFile = file;
  record.nMaxFile = kChosenPathSize;
  record.lpstrTitle = title;
  return record;
}

Status DialogFailure() { return CommonDialogError() == 0 ? kErrCancelled : kErrFileSystem; }

}  // namespace

void FileSetDialogModule(HMODULE module) { gDialogModule = module; }

Status ChosenPathSplit(const char* full, PathSpec** folder, char* name) {
  *folder = nullptr;
  if (name) name[0] = 0;
  const char* cut = std::strrchr(full, '\\');
  if (!cut || TextLength(cut + 1) >= kEscapedNameSize) return kErrBadName;
  char folderText[MAX_PATH + 2];
  const size_t length = size_t(cut - full);
  if (length + 2 > sizeof folderText) return kErrBadName;
  BytesCopy(folderText, full, length);
  folderText[length] = 0;
  if (length == 2 && folderText[1] == ':') TextCopy(folderText + 2, "\\");  // "C:" is the root "C:\"
  const Status status = PathNewDisk(folderText, folder);
  if (status == kOk && name) ArchiveNameEncode(cut + 1, name);
  return status;
}

Status ChosenPathExists(const char* full, bool* isFolder) {
  DWORD attributes = 0;
  const Status status = DiskAttributes(full, &attributes);
  if (isFolder) *isFolder = status == kOk && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  return status;
}

Status FileSelect(const char* title, bool folderMode, PathSpec** folder, char* name) {
  *folder = nullptr;
  if (name) name[0] = 0;
  if (!gDialogModule) return PromptOpen(title, folderMode, folder, name);
  char file[kChosenPathSize] = {};
  OPENFILENAMEA record = DialogRecord(file, title ? title : folderMode ? "Select a folder" : "Select a file");
  record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!CommonDialogOpen(&record)) return DialogFailure();
  return ChosenPathSplit(file, folder, folderMode ? nullptr : name);
}

Status FileSelectSave(const char* title, const char* defaultName, PathSpec** folder, bool* exists, char* name) {
  *folder = nullptr;
  *exists = false;
  name[0] = 0;
  if (!gDialogModule) return PromptSave(title, folder, exists, name);
  char file[kChosenPathSize] = {};
  if (defaultName) TextCopyBounded(file, defaultName, sizeof file);
  OPENFILENAMEA record = DialogRecord(file, title ? title : "Save As");
  record.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  if (!CommonDialogSave(&record)) return DialogFailure();
  // Anything but a plain absence counts as existing: the caller must not take the name as free.
  *exists = ChosenPathExists(file, nullptr) != kErrFileNotFound;
  return ChosenPathSplit(file, folder, name);
}
