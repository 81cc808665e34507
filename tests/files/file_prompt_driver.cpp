// A console program that asks through the file layer's console prompts, for the prompt tests. The first
// argument chooses the question (save, file or folder), a second one is the caller's prompt. The answer
// is printed as "[status S exists E folder F name N]".
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "files/file_system.h"

int main(int argc, char** argv) {
  if (argc < 2 || FileLayerStart() != kOk) return 2;
  _setmode(_fileno(stdout), _O_BINARY);  // line feeds as the prompts write them
  const char* prompt = argc > 2 ? argv[2] : nullptr;
  PathSpec* folder = nullptr;
  char name[kEscapedNameSize] = "";
  bool exists = false;
  const Status status = std::strcmp(argv[1], "save") == 0
                            ? FileSelectSave(prompt, nullptr, &folder, &exists, name)
                            : FileSelect(prompt, std::strcmp(argv[1], "folder") == 0, &folder, name);
  char text[1024] = "";
  if (folder) PathToText(folder, text, sizeof text);
  std::printf("\n[status %d exists %d folder %s name %s]\n", int(status), int(exists), text, name);
  PathDispose(folder);
  return 0;
}
