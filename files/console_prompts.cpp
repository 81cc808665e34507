// The console prompts that stand in for the dialogs in a program without them. Input is read one byte at
// a time, so that nothing beyond the answer is taken from standard input.
#include <windows.h>

#include "files/file_choice.h"
#include "files/path_parts.h"
#include "runtime/clock.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr size_t kLineSize = 520;  // up to 519 bytes of a line
constexpr uint32_t kInputRetryMs = 30;
constexpr uint32_t kFullQuestionEvery = 5;

void Print(const char* text) {
  DWORD written = 0;
  if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, DWORD(TextLength(text)), &written, nullptr)) GetLastError();
}

// One byte of standard input; false at its end. Other failures are waited out.
bool ReadByte(char* byte) {
  for (;;) {
    DWORD read = 0;
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), byte, 1, &read, nullptr)) return read == 1;
    const DWORD error = GetLastError();
    SetLastError(ERROR_SUCCESS);
    // Without these the retry would never end: the input is gone for good.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF || error == ERROR_INVALID_HANDLE) return false;
    SleepMilliseconds(kInputRetryMs);
  }
}

// A line up to and with its line feed (cut at 519 bytes); false when the input ended before any byte.
bool ReadLine(char* line) {
  size_t length = 0;
  char byte = 0;
  bool any = false;
  while (ReadByte(&byte)) {
    any = true;
    if (length < kLineSize - 1) line[length++] = byte;
    if (byte == '\n') break;
  }
  line[length] = 0;
  return any;
}

// The answer is the line up to the first of the stop characters.
void Cut(char* line, const char* stops) {
  if (char* stop = const_cast<char*>(TextFindAnyOf(line, stops))) *stop = 0;
}

// The working folder is the root's for the prompt, so that relative names are taken from there.
class WorkingFolderScope {
 public:
  WorkingFolderScope() {
    const DWORD length = GetCurrentDirectoryA(sizeof saved_, saved_);
    if (length == 0 || length >= sizeof saved_) saved_[0] = 0;
    if (PathSpec* root = FileLayerRoot()) {
      char folder[kDiskPathSize];
      PathDiskText(root, folder);
      if (!SetCurrentDirectoryA(folder)) GetLastError();
    }
  }
  ~WorkingFolderScope() {
    if (saved_[0] && !SetCurrentDirectoryA(saved_)) GetLastError();
  }
  WorkingFolderScope(const WorkingFolderScope&) = delete;
  WorkingFolderScope& operator=(const WorkingFolderScope&) = delete;

 private:
  char saved_[MAX_PATH + 1];
};

bool FullPath(const char* answer, char* full) {
  const DWORD length = GetFullPathNameA(answer, MAX_PATH + 1, full, nullptr);
  if (length == 0 || length > MAX_PATH) {
    GetLastError();
    return false;
  }
  return true;
}

void AskFor(const char* prompt, const char* standard) {
  if (prompt) {
    Print(prompt);
    Print(" ");
  } else {
    Print(standard);
  }
}

enum class Answer { Yes, No, Ended };

// Single characters: y accepts; n, a blank, a carriage return or a line feed refuse; anything else asks
// again, briefly, with the whole question on every fifth attempt.
Answer AskReplace(const char* kind) {
  char question[128];
  FormatText(question, sizeof question, "A %s with that name already exists. Replace it? [y/N] : ", kind);
  Print(question);
  char line[kLineSize];
  for (uint32_t attempt = 1;;) {
    if (!ReadLine(line)) return Answer::Ended;
    for (const char* c = line; *c; ++c) {
      if (*c == 'y' || *c == 'Y') return Answer::Yes;
      if (*c == 'n' || *c == 'N' || *c == ' ' || *c == '\r' || *c == '\n') return Answer::No;
      ++attempt;
      Print(attempt % kFullQuestionEvery == 0 ? question : "[y/N] : ");
    }
  }
}

}  // namespace

Status PromptOpen(const char* prompt, bool folderMode, PathSpec** folder, char* name) {
  WorkingFolderScope workingFolder;
  const char* kind = folderMode ? "folder" : "file";
  char standard[32];
  FormatText(standard, sizeof standard, "Select a %s: ", kind);
  char line[kLineSize];
  char full[MAX_PATH + 1];
  char message[64];
  for (;;) {
    AskFor(prompt, standard);
    if (!ReadLine(line)) return kErrCancelled;
    Cut(line, "\t\r\n");
    if (!line[0]) return kErrCancelled;
    bool isFolder = false;
    if (!FullPath(line, full) || ChosenPathExists(full, &isFolder) != kOk) {
      FormatText(message, sizeof message, "There is no such %s.\n\n", kind);
    } else if (isFolder != folderMode) {
      FormatText(message, sizeof message, "That is not a %s!\n\n", kind);
    } else if (!folderMode) {
      return ChosenPathSplit(full, folder, name);
    } else {
      return PathNewDisk(full, folder);
    }
    Print(message);
  }
}

Status PromptSave(const char* prompt, PathSpec** folder, bool* exists, char* name) {
  WorkingFolderScope workingFolder;
  char line[kLineSize];
  char full[MAX_PATH + 1];
  for (;;) {
    AskFor(prompt, "Enter a file name: ");
    if (!ReadLine(line)) return kErrCancelled;
    Cut(line, " \t\r\n");
    if (!line[0]) return kErrCancelled;
    if (!FullPath(line, full)) {
      Print("There is no such folder.\n\n");
      continue;
    }
    bool isFolder = false;
    const Status found = ChosenPathExists(full, &isFolder);
    if (found == kErrFileNotFound) return ChosenPathSplit(full, folder, name);
    if (found != kOk) {
      // A name in a folder that is not there cannot be saved.
      Print("There is no such folder.\n\n");
      continue;
    }
    const Answer answer = AskReplace(isFolder ? "folder" : "file");
    if (answer == Answer::Ended) return kErrCancelled;
    if (answer == Answer::Yes) {
      *exists = true;
      return ChosenPathSplit(full, folder, name);
    }
  }
}
