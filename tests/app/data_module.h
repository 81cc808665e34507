// A module beside the running test program, or relative to it, loaded for its resources only.
#pragma once

#include <windows.h>

#include <string>

// The full path of a file given relative to the folder of the running test program.
inline std::string PathBesideTestProgram(const char* relativePath) {
  char path[MAX_PATH];
  std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return full.substr(0, full.find_last_of('\\') + 1) + relativePath;
}

struct DataModule {
  explicit DataModule(const char* relativePath)
      : path(PathBesideTestProgram(relativePath)),
        module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module) FreeLibrary(module);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE get() const { return module; }
  std::string path;
  HMODULE module;
};
