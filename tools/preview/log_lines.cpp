#include "tools/preview/log_lines.h"

#include "interface/element_class.h"

namespace {

const char* EventWords(int32_t event) {
  switch (event) {
    case kEventWindowMade: return "window made";
    case kEventClosing: return "window closing";
    case kEventPageBuilding: return "page building";
    case kEventPageShown: return "page shown";
    case kEventIdle: return "idle";
    case kEventPageLeaving: return "page leaving";
    case kEventFocusGained: return "focus gained";
    case kEventActivated: return "activated";
    case kEventFocusLosing: return "focus losing";
    case kEventPressBegins: return "press begins";
    case kEventPressLeft: return "press left the control";
    case kEventPressBack: return "press back on the control";
    case kEventPressEnds: return "press ends";
  }
  return "event";
}

const char* CodeWords(Status status) {
  switch (status) {
    case kErrMemory: return "too large, or out of memory";
    case kErrBadName: return "a name the file layer cannot take";
    case kErrPathNotFound: return "its folder is not there";
    case kErrFileNotFound: return "not found";
    case kErrDamagedArchive: return "not a chunk archive";
    case kErrImageFormat: return "not a picture the program can read";
    case kErrImageData: return "the picture ends early or is too large";
    case kErrNoInterface: return "no INTERFACE with a PAGE in it";
    case kErrNoIndex: return "a folder without index.iml";
    case kErrUnicodePage: return "a Unicode form the program cannot read (use Windows-1252 or UTF-16)";
  }
  return nullptr;
}

}  // namespace

std::string EventLine(int window, int32_t event, const char* page, int32_t index, const char* name) {
  std::string line = "event " + std::to_string(event) + " " + EventWords(event) + ": window " + std::to_string(window);
  if (page) line += std::string(", page \"") + page + "\"";
  if (index >= 0) line += ", element " + std::to_string(index) + (name ? std::string(" \"") + name + "\"" : " (no NAME)");
  return line;
}

std::string PlaceLine(const std::string& file, uint32_t line, const std::string& text) {
  return file + (line ? "(" + std::to_string(line) + ")" : std::string()) + ": " + text;
}

std::string FindingLine(const WalkFinding& finding) {
  return (finding.page.empty() ? std::string("check: ") : "check " + finding.page + ": ") + finding.text;
}

std::string StatusWords(Status status) {
  const char* words = CodeWords(status);
  return words ? std::string(words) + " (" + std::to_string(status) + ")" : "status " + std::to_string(status);
}
