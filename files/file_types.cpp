#include "files/file_types.h"

#include <cstddef>
#include <cstring>

namespace {

struct Row {
  FourCC type;
  FourCC creator;
  char extension[5];
  bool preferred;
};

// Looked up in order; the preferred row of an extension or type wins over the others.
constexpr Row kRows[] = {
    {MakeFourCC("TEXT"), MakeFourCC("ttxt"), "txt", true},  {MakeFourCC("TEXT"), MakeFourCC("ttxt"), "text", false},
    {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "c", false},   {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "cp", false},
    {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "cpp", false}, {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "h", false},
    {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "hp", false},  {MakeFourCC("TEXT"), MakeFourCC("CWIE"), "hpp", false},
    {MakeFourCC("PNGf"), MakeFourCC("ogle"), "png", true},  {MakeFourCC("PNG "), MakeFourCC("ogle"), "png", false},
    {MakeFourCC("GIFf"), MakeFourCC("ogle"), "gif", true},  {MakeFourCC("GIF "), MakeFourCC("ogle"), "gif", false},
    {MakeFourCC("JPEG"), MakeFourCC("ogle"), "jpg", true},  {MakeFourCC("JPEG"), MakeFourCC("ogle"), "jpeg", false},
    {MakeFourCC("BMPf"), MakeFourCC("ogle"), "bmp", true},  {MakeFourCC("BMP "), MakeFourCC("ogle"), "bmp", false},
    {MakeFourCC("PICT"), MakeFourCC("ttxt"), "pct", true},  {MakeFourCC("PICT"), MakeFourCC("ttxt"), "pict", false},
    {MakeFourCC("????"), MakeFourCC("????"), "", false},
};
constexpr size_t kRowCount = sizeof(kRows) / sizeof(kRows[0]);

template <class Matches>
FileType Choose(Matches matches) {
  const Row* first = nullptr;
  for (const Row& row : kRows) {
    if (!matches(row)) continue;
    if (row.preferred) return {row.type, row.creator};
    if (!first) first = &row;
  }
  if (!first) first = &kRows[kRowCount - 1];
  return {first->type, first->creator};
}

}  // namespace

FileType FileTypeForType(FourCC type) {
  return Choose([type](const Row& row) { return row.type == type; });
}

FileType FileTypeForName(const char* name, FourCC type) {
  const char* dot = std::strrchr(name, '.');
  const char* extension = dot ? dot + 1 : name;
  char key[5] = {};
  for (size_t i = 0; i < 4 && extension[i]; ++i) {
    const char c = extension[i];
    key[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
  }
  if (!key[0]) return FileTypeForType(type);
  return Choose([&key](const Row& row) { return row.extension[0] && std::strcmp(row.extension, key) == 0; });
}
