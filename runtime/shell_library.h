// The shell's two services this program uses - opening a document or link, and the special folders -
// from the shell's library, loaded when first asked for (see late_library.h).
#pragma once

#include <windows.h>

// As ShellExecuteA; without the library, SE_ERR_DLLNOTFOUND (a failure, 32 or less).
HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, const char* parameters, const char* folder,
                    int show);
// As SHGetFolderPathA; without the library, E_FAIL.
HRESULT ShellFolderPath(HWND owner, int folderCode, HANDLE token, DWORD flags, char* path);
