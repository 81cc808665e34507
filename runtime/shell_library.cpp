#include "runtime/shell_library.h"

#include <shellapi.h>
#include <shlobj.h>

#include "runtime/late_library.h"

namespace {

struct ShellFunctions {
  decltype(&ShellExecuteA) open;
  decltype(&SHGetFolderPathA) folderPath;
};

const ShellFunctions& Functions() {
  static const ShellFunctions functions = [] {
    ShellFunctions found{};
    const HMODULE library = LoadLibraryA("shell32.dll");
    FindLateFunction(library, "ShellExecuteA", &found.open);
    FindLateFunction(library, "SHGetFolderPathA", &found.folderPath);
    return found;
  }();
  return functions;
}

}  // namespace

HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, const char* parameters, const char* folder,
                    int show) {
  if (!Functions().open) return reinterpret_cast<HINSTANCE>(SE_ERR_DLLNOTFOUND);
  return Functions().open(owner, verb, file, parameters, folder, show);
}

HRESULT ShellFolderPath(HWND owner, int folderCode, HANDLE token, DWORD flags, char* path) {
  if (!Functions().folderPath) return E_FAIL;
  return Functions().folderPath(owner, folderCode, token, flags, path);
}
