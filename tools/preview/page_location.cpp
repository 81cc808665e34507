#include "tools/preview/page_location.h"

#include <algorithm>

#include "files/archive_names.h"
#include "runtime/text.h"

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string Lower(std::string text) {
  for (char& c : text) c = char(AsciiLower(uint8_t(c)));
  return text;
}

}  // namespace

bool IsPageFileName(const std::string& name) {
  return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".iml";
}

std::string PathTextOfDiskPath(const std::string& diskPath) {
  if (diskPath.size() < 3 || !IsDriveLetter(diskPath[0]) || diskPath[1] != ':' || diskPath[2] != '\\') return "";
  std::string text = "/";
  text += char(AsciiUpper(uint8_t(diskPath[0])));
  size_t start = 3;
  while (start < diskPath.size()) {
    size_t end = diskPath.find('\\', start);
    if (end == std::string::npos) end = diskPath.size();
    if (end > start) {
      const std::string name = diskPath.substr(start, end - start);
      if (name.size() >= kEscapedNameSize) return "";
      char escaped[kEscapedNameSize];
      ArchiveNameEncode(name.c_str(), escaped);
      text += "/";
      text += escaped;
    }
    start = end + 1;
  }
  return text;
}

std::string DiskPathOfPathText(const std::string& pathText) {
  if (pathText.size() < 2 || pathText[0] != '/' || !IsDriveLetter(pathText[1]) ||
      (pathText.size() > 2 && pathText[2] != '/'))
    return "";
  std::string path = std::string(1, pathText[1]) + ":";
  size_t start = 3;
  while (start < pathText.size()) {
    size_t end = pathText.find('/', start);
    if (end == std::string::npos) end = pathText.size();
    char name[kEscapedNameSize];
    if (ArchiveNameDecode(pathText.substr(start, end - start).c_str(), name) != kOk) return "";
    path += "\\";
    path += name;
    start = end + 1;
  }
  return path.size() == 2 ? path + "\\" : path;
}

std::string ChoosePageFile(std::span<const std::string> names) {
  std::string first;
  for (const char* preferred : {"classic.iml", "index.iml"})
    for (const std::string& name : names)
      if (Lower(name) == preferred) return name;
  for (const std::string& name : names)
    if (IsPageFileName(name) && (first.empty() || Lower(name) < Lower(first))) first = name;
  return first;
}

uint32_t LineOfOffset(const uint8_t* bytes, size_t size, uint32_t offset) {
  const bool wide = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const size_t start = wide ? 2 : 0, step = wide ? 2 : 1;
  auto at = [&](size_t unit) -> uint16_t {
    const size_t i = start + unit * step;
    return wide ? uint16_t(bytes[i] | bytes[i + 1] << 8) : bytes[i];
  };
  const size_t units = (size - start) / step, end = std::min<size_t>(offset, units);
  uint32_t line = 1;
  for (size_t unit = 0; unit < end; ++unit) {
    const uint16_t c = at(unit);
    if (c == '\n' || (c == '\r' && (unit + 1 >= units || at(unit + 1) != '\n'))) ++line;
  }
  return line;
}
