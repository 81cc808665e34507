#include "files/file_system.h"
#include "files/items.h"
#include "runtime/clock.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr size_t kAffixLimit = 26;  // prefix and suffix together stay below this
constexpr uint32_t kDigitValues = 0x10000;

uint32_t gCounter = 0;

bool AffixIsAcceptable(const char* affix) { return !TextFindAnyOf(affix, "/:\\%"); }

}  // namespace

Status FileMakeUniqueName(PathSpec* folder, const char* prefix, const char* suffix, char* name) {
  name[0] = 0;
  if (!prefix) prefix = "";
  if (!suffix) suffix = "";
  if (TextLength(prefix) + TextLength(suffix) >= kAffixLimit || !AffixIsAcceptable(prefix) ||
      !AffixIsAcceptable(suffix)) {
    return kErrBadName;
  }
  OpenItem folderItself;
  Status status = folderItself.AtLocation(folder, nullptr, false);
  if (status == kOk) status = folderItself.Exists();
  if (status != kOk) return status;

  char candidate[kEscapedNameSize];
  // Gives up after as many tries as there are four-digit values.
  for (uint32_t tries = 0; tries < kDigitValues; ++tries) {
    ++gCounter;
    FormatText(candidate, sizeof candidate, "%s%04X%s", prefix, (ClockTicks() + gCounter) & 0xFFFF, suffix);
    OpenItem item;
    status = item.InFolder(folder, candidate, false);
    if (status == kOk) status = item.Exists();
    if (status == kErrFileNotFound) {
      TextCopy(name, candidate);
      return kOk;
    }
    if (status != kOk) return status;
  }
  return kErrExists;
}
