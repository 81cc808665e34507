// The common dialogs - open, save as, print - from their library, loaded when a dialog is first asked
// for (see late_library.h).
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

// As the library's functions of the same purpose. Without the library, each fails and
// CommonDialogError answers CDERR_INITIALIZATION, so a caller never takes that for a cancel.
BOOL CommonDialogOpen(OPENFILENAMEA* record);
BOOL CommonDialogSave(OPENFILENAMEA* record);
BOOL CommonDialogPrint(PRINTDLGA* record);
DWORD CommonDialogError();
