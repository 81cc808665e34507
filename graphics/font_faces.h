// Face lists as page authors write them: "Geneva,Arial,Helvetica", "Lucida_Grande", "sans-serif".
#pragma once

#include <windows.h>

// Writes the first face of the list that is installed on the context into face (256 bytes) and
// returns it; none, with face empty, when no face of the list is installed.
//
// A name is a run of letters, spaces, underscores and hyphens; anything else (a comma, a digit, the
// end) ends it. Nothing is trimmed, so a space after a comma belongs to the next name. Underscores
// stand for spaces. A name that is not installed may be a generic family - "SYSTEM", "MONOSPACE",
// "FIXED", "SANS-SERIF", "SANS", "SERIF", in any letter case - whose own list is tried in its place.
const char* FontResolveFaces(HDC dc, const char* faces, char* face);
