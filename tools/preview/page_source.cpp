#include "tools/preview/page_source.h"

#include <windows.h>

#include <vector>

#include "files/archive_names.h"
#include "files/file_system.h"
#include "files/windows_errors.h"
#include "tools/preview/page_location.h"

namespace {

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

Status FromFolder(const std::string& folder, PageSource* source) {
  const std::vector<std::string> names = FileNamesIn(folder);
  const std::string file = ChoosePageFile(names);
  if (file.empty()) return kErrNoIndex;
  *source = {folder, file};
  return kOk;
}

Status Split(const std::string& full, PageSource* source) {
  const size_t cut = full.find_last_of('\\');
  if (cut == std::string::npos) return kErrBadName;
  *source = {full.substr(0, cut == 2 ? 3 : cut), full.substr(cut + 1)};  // "C:\x" lies in "C:\"
  return kOk;
}

}  // namespace

Status PageSourceFromPath(const char* path, PageSource* source) {
  char full[MAX_PATH + 1];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return kErrBadName;
  DWORD attributes = 0;
  const Status status = DiskAttributes(full, &attributes);
  if (status != kOk) return status;
  std::string text = full;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Split(text, source);
  if (text.size() > 3 && text.back() == '\\') text.pop_back();
  return FromFolder(text, source);
}

Status PageSourceFromDialog(PageSource* source) {
  PathSpec* folder = nullptr;
  char name[kEscapedNameSize];
  Status status = FileSelect("Open a page file, or any file of a page folder", false, &folder, name);
  if (status != kOk) return status;
  char folderText[2 * MAX_PATH];
  status = PathToText(folder, folderText, sizeof folderText);
  PathDispose(folder);
  if (status != kOk) return status;
  const std::string disk = DiskPathOfPathText(folderText);
  char decoded[kEscapedNameSize];
  if (disk.empty() || ArchiveNameDecode(name, decoded) != kOk) return kErrBadName;
  if (IsPageFileName(decoded)) {
    *source = {disk, decoded};
    return kOk;
  }
  return FromFolder(disk, source);
}

Status PageSourceFolder(const PageSource& source, PathSpec** folder) {
  *folder = nullptr;
  const std::string text = PathTextOfDiskPath(source.folder);
  return text.empty() ? kErrBadName : PathResolve(nullptr, text.c_str(), folder, false);
}

std::string PageSourceFileText(const PageSource& source) {
  char escaped[kEscapedNameSize];
  ArchiveNameEncode(source.file.c_str(), escaped);
  return escaped;
}
