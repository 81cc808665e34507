#include "graphics/font_faces.h"

#include <algorithm>

#include "graphics/port.h"
#include "runtime/text.h"

namespace {

struct GenericFamily {
  const char* name;
  const char* faces;
};

constexpr GenericFamily kGenericFamilies[] = {
    {"SYSTEM", "Charcoal,Lucida_Grande,Chicago"},
    {"MONOSPACE", "Monaco,Courier"},
    {"FIXED", "Monaco,Courier"},
    {"SANS-SERIF", "Geneva,Arial,Verdana,Helvetica"},
    {"SANS", "Geneva,Arial,Verdana,Helvetica"},
    {"SERIF", "Palatino,Times New Roman,Times"},
};

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '_' || c == '-';
}

int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool FamilyInstalled(HDC dc, const char* name) {
  bool found = false;
  EnumFontFamiliesA(dc, name, NoteFamily, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The family list standing for a generic name, or none.
const char* GenericFamilyFaces(const char* name) {
  char upper[kFaceNameSize];
  TextToUpperCopy(upper, name, sizeof upper);
  for (const GenericFamily& family : kGenericFamilies)
    if (TextCompare(upper, family.name) == 0) return family.faces;
  return nullptr;
}

}  // namespace

const char* FontResolveFaces(HDC dc, const char* faces, char* face) {
  face[0] = '\0';
  const char* next = faces ? faces : "";
  while (*next) {
    const char* start = next;
    while (IsNameCharacter(*next)) ++next;
    if (next > start) {
      char name[kFaceNameSize];
      const size_t length = std::min<size_t>(next - start, kFaceNameSize - 1);
      for (size_t i = 0; i < length; ++i) name[i] = start[i] == '_' ? ' ' : start[i];
      name[length] = '\0';
      if (FamilyInstalled(dc, name)) return TextCopy(face, name);
      const char* generic = GenericFamilyFaces(name);
      if (generic && FontResolveFaces(dc, generic, face)) return face;
    }
    if (*next) ++next;  // past the character that ended the name
  }
  return nullptr;
}
