#include "runtime/common_dialogs.h"

namespace {

struct DialogFunctions {
  BOOL(WINAPI* open)(OPENFILENAMEA*);
  BOOL(WINAPI* save)(OPENFILENAMEA*);
  BOOL(WINAPI* print)(PRINTDLGA*);
  DWORD(WINAPI* error)();
};

template <typename Function>
void Find(HMODULE library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Loaded once and kept: a dialog's windows may outlive the call that showed it only by moments, but
// the library's classes stay registered for the process.
const DialogFunctions& Functions() {
  static const DialogFunctions functions = [] {
    DialogFunctions found{};
    if (HMODULE library = LoadLibraryA("comdlg32.dll")) {
      Find(library, "GetOpenFileNameA", &found.open);
      Find(library, "GetSaveFileNameA", &found.save);
      Find(library, "PrintDlgA", &found.print);
      Find(library, "CommDlgExtendedError", &found.error);
    }
    return found;
  }();
  return functions;
}

}  // namespace

BOOL CommonDialogOpen(OPENFILENAMEA* record) { return Functions().open ? Functions().open(record) : FALSE; }
BOOL CommonDialogSave(OPENFILENAMEA* record) { return Functions().save ? Functions().save(record) : FALSE; }
BOOL CommonDialogPrint(PRINTDLGA* record) { return Functions().print ? Functions().print(record) : FALSE; }
DWORD CommonDialogError() { return Functions().error ? Functions().error() : CDERR_INITIALIZATION; }
