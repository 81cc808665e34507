// Choosing a file: what the dialogs and the console prompts share. Internal to the file layer.
#pragma once

#include "files/paths.h"

// Splits a full disk path into a new folder record and the name (escaped; none wanted in folder mode).
Status ChosenPathSplit(const char* full, PathSpec** folder, char* name);
// The existence test of a chosen path: 0 when it exists, -7203 when it does not.
Status ChosenPathExists(const char* full, bool* isFolder);

// The console prompts, read from standard input and written to standard output, with the root folder
// as the working folder meanwhile.
Status PromptOpen(const char* prompt, bool folderMode, PathSpec** folder, char* name);
Status PromptSave(const char* prompt, PathSpec** folder, bool* exists, char* name);
