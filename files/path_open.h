// Entering the folder that a path record names. Internal to the file layer.
#pragma once

#include "files/paths.h"

// A folder on disk gives no archive. Otherwise the archive that the location is (an archive file, a
// mounted volume, a nested archive) is opened, with write access when asked, and given with one
// reference for the caller; the record keeps it open too, so that later calls find it at once. -7206 for
// a disk file that is no chunk archive; -7202 for a component on the way that is absent or no archive.
Status PathOpenFolder(PathSpec* folder, bool forWriting, Stream** archive);
