#include "runtime/common_dialogs.h"

#include "runtime/late_library.h"

namespace {

struct DialogFunctions {
  decltype(&GetOpenFileNameA) open;
  decltype(&GetSaveFileNameA) save;
  decltype(&PrintDlgA) print;
  decltype(&CommDlgExtendedError) error;
};

// Loaded once and kept: a dialog's windows may outlive the call that showed it only by moments, but
// the library's classes stay registered for the process.
const DialogFunctions& Functions() {
  static const DialogFunctions functions = [] {
    DialogFunctions found{};
    const HMODULE library = LoadLibraryA("comdlg32.dll");
    FindLateFunction(library, "GetOpenFileNameA", &found.open);
    FindLateFunction(library, "GetSaveFileNameA", &found.save);
    FindLateFunction(library, "PrintDlgA", &found.print);
    FindLateFunction(library, "CommDlgExtendedError", &found.error);
    return found;
  }();
  return functions;
}

}  // namespace

BOOL CommonDialogOpen(OPENFILENAMEA* record) { return Functions().open ? Functions().open(record) : FALSE; }
BOOL CommonDialogSave(OPENFILENAMEA* record) { return Functions().save ? Functions().save(record) : FALSE; }
BOOL CommonDialogPrint(PRINTDLGA* record) { return Functions().print ? Functions().print(record) : FALSE; }
DWORD CommonDialogError() { return Functions().error ? Functions().error() : CDERR_INITIALIZATION; }
