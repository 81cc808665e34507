// The usual Windows folders behind the location codes -2 to -7. Internal to the file layer.
#pragma once

#include "files/paths.h"

// Makes the record the folder of the code. The shell is asked first (creating the folder when needed);
// when it fails, a fallback stands: the system folder, "HOMEPATH", the temporary folder. The result
// must be an absolute drive or network path of at most 520 bytes, else -7200.
Status SpecialFolderResolve(int32_t code, PathSpec* path);
