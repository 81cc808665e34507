// skyward-image: describes pictures and converts them between the formats the program reads.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/image/image_tool.h"

namespace {

const char kHelp[] =
    "skyward-image describes and converts pictures with the same readers and writers that\n"
    "SkywardOrder.exe uses, so that a seller can prepare pictures for the pages and check\n"
    "how the program sees them.\n"
    "\n"
    "Usage:\n"
    "  skyward-image info FILE\n"
    "      Shows the picture's format, size in pixels, depth and transparency (and its gamma\n"
    "      when the format gives one). The format is recognised by content, not by name.\n"
    "  skyward-image convert INPUT OUTPUT [--quality N]\n"
    "      Reads INPUT (GIF, PNG, JPEG, BMP, Targa, PICT or pixel pattern) and writes it to\n"
    "      OUTPUT in the format its extension names: gif, png, jpg or jpeg, bmp, tga, pct or\n"
    "      pict, ppat. An existing OUTPUT is replaced. --quality (0 to 100, default 100)\n"
    "      sets the JPEG quality. Some formats cannot hold everything: BMP, Targa, JPEG,\n"
    "      PICT and pixel patterns drop transparency, GIF keeps 256 colours at most, and a\n"
    "      pixel pattern's sides must be powers of two.\n"
    "  skyward-image --help\n"
    "      Shows this text.\n"
    "\n"
    "The exit status is 0 when everything worked, 1 when something failed (the reason is printed)\n"
    "and 2 for a command line that is not understood.\n";

int Usage() {
  std::fprintf(stderr, "skyward-image: the command line is not understood; see skyward-image --help\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == "info" && args.size() == 2) return ShowImageInfo(args[1], stdout, stderr);
  if (command == "convert" && (args.size() == 3 || (args.size() == 5 && args[3] == "--quality"))) {
    int quality = -1;
    if (args.size() == 5) {
      char* end = nullptr;
      const long value = std::strtol(args[4].c_str(), &end, 10);
      if (*end != '\0' || args[4].empty() || value < 0 || value > 100) return Usage();
      quality = int(value);
    }
    return ConvertImage(args[1], args[2], quality, stdout, stderr);
  }
  return Usage();
}
