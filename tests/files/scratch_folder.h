// A scratch folder for tests that touch the disk: made fresh in the temporary folder, removed with
// everything in it afterwards.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

class ScratchFolder {
 public:
  ScratchFolder() {
    char temporary[MAX_PATH + 1];
    GetTempPathA(sizeof temporary, temporary);
    path_ = std::string(temporary) + "skyward-files-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter_++);
    Remove(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { Remove(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's full path, and one of an item in it.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(*this / name, std::ios::binary) << bytes;
  }
  // The bytes of a file, or "<absent>".
  std::string Get(const std::string& name) const {
    std::ifstream file(*this / name, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<absent>";
  }

 private:
  static void Remove(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
      const std::string name = found.cFileName, item = path + "\\" + name;
      if (name == "." || name == "..") continue;
      SetFileAttributesA(item.c_str(), FILE_ATTRIBUTE_NORMAL);
      (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Remove(item) : void(DeleteFileA(item.c_str()));
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryA(path.c_str());
  }

  static inline int counter_ = 0;
  std::string path_;
};
