// skyward-archive: makes, lists and unpacks page archives.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/page_archive.h"
#include "tools/archive/archive_tool.h"

namespace {

const char kHelp[] =
    "skyward-archive makes and inspects page archives: the files that hold the pages and pictures\n"
    "which SkywardOrder.exe shows. The build packs the folder pages/ this way and links the result\n"
    "into the program.\n"
    "\n"
    "Usage:\n"
    "  skyward-archive create FOLDER ARCHIVE\n"
    "      Packs every file of FOLDER into a new file ARCHIVE (an existing one is replaced).\n"
    "      Subfolders are refused and files whose names start with \".\" are left out. Entries are\n"
    "      sorted by name and get a type by their extension (txt and other texts: TEXT, png: PNGf,\n"
    "      gif: GIFf, jpg or jpeg: JPEG, bmp: BMPf, pct or pict: PICT; unknown ones: \"????\").\n"
    "      An archive over %u bytes is refused: the program would not load it.\n"
    "  skyward-archive list ARCHIVE\n"
    "      Shows each entry: its name, flags (1 readable, 2 writable, 4 an archive itself, 8 hidden;\n"
    "      3 is readable and writable), where its data starts, its size in bytes and its type.\n"
    "  skyward-archive extract ARCHIVE FOLDER [NAME...]\n"
    "      Copies the entries named (all entries when no NAME is given) into files in FOLDER,\n"
    "      which is made when it does not exist. Existing files are replaced.\n"
    "  skyward-archive --help\n"
    "      Shows this text.\n"
    "\n"
    "Names are shown and given as they appear in the list: a character that cannot stand in a\n"
    "name (such as \"/\") is written as %% and two hexadecimal digits (%%2F).\n"
    "The exit status is 0 when everything worked, 1 when something failed (the reason is printed)\n"
    "and 2 for a command line that is not understood.\n";

int Usage() {
  std::fprintf(stderr, "skyward-archive: the command line is not understood; see skyward-archive --help\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::printf(kHelp, unsigned(kPageArchiveMaximumSize));
    return 0;
  }
  if (command == "create" && args.size() == 3) {
    return PackFolder(args[1], args[2], kPageArchiveMaximumSize, stdout, stderr);
  }
  if (command == "list" && args.size() == 2) return ListArchive(args[1], stdout, stderr);
  if (command == "extract" && args.size() >= 3) {
    return ExtractArchive(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()), stdout, stderr);
  }
  return Usage();
}
