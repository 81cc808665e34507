// The program's version, for its version resource; plain macros, so that the resource compiler reads
// them too.
#pragma once

#define SKYWARD_VERSION_MAJOR 1
#define SKYWARD_VERSION_MINOR 0
#define SKYWARD_VERSION_PATCH 0
#define SKYWARD_VERSION_TEXT "1.0.0"
