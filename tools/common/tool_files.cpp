#include "tools/common/tool_files.h"

#include <cstdio>
#include <utility>

bool ReadFile(const std::string& path, UniqueHandle* contents) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  UniqueHandle handle(HandleNew(0));
  uint8_t buffer[65536];
  bool ok = handle != nullptr;
  for (size_t got; ok && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    ok = HandleAppendData(handle.get(), buffer, got) == kOk;
  }
  ok = ok && !std::ferror(file);
  std::fclose(file);
  if (ok) *contents = std::move(handle);
  return ok;
}

bool WriteFile(const std::string& path, const void* bytes, size_t size) {
  const std::string temporary = path + ".part";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes, 1, size, file) == size;
  ok = std::fclose(file) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

