// A test host: opens the interface engine on a page file of a folder on disk or of an archive file,
// and prints every event the page program would get, one flushed line each, so that window tests can
// show any page in a real window and follow what happens.
//
//   interface_host [--folder PATH | --archive FILE] [--file NAME] [--page NAME] [--title TEXT]
//                  [--variable NAME=VALUE]... [--veto EVENT]... [--value NAME]... [--test-classes]
//
// PATH and FILE are Windows paths (Z:\... for the Unix tree under Wine). Output lines:
//   classes BUTTON FRAME ...               the process-wide element classes
//   event <code> window <n> page <name|-> index <i> name <name|->
//   status <code>                          at the end, the whole status
//   value <name> <text>                    with --value: the value of that element of the event's page after
//                                          each event 9 and 6, CR and LF written as \r and \n
// --veto answers -8404 to every event of that code. --test-classes registers the test classes SWATCH,
// FIELD and PROBE (tests/interface/test_classes.h) with the window.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "interface/interface.h"
#include "interface/variables.h"
#include "tests/interface/test_classes.h"

namespace {

struct Options {
  std::string location;  // path text of the page source
  std::string file;
  std::string page;
  std::string title = "Interface host";
  std::vector<std::string> variables;
  std::vector<int32_t> vetoes;
  std::vector<std::string> values;
  bool testClasses = false;
};

std::vector<InterfaceWindow*> gWindows;  // numbered in the order they were made
Options gOptions;

// "C:\a\b" as the file layer's path text "/C/a/b".
std::string PathText(const std::string& windowsPath) {
  std::string text = "/" + windowsPath.substr(0, 1) + (windowsPath.size() > 2 ? windowsPath.substr(2) : "");
  for (char& c : text) c = c == '\\' ? '/' : c;
  return text;
}

int Number(InterfaceWindow* window) {
  for (size_t i = 0; i < gWindows.size(); ++i)
    if (gWindows[i] == window) return int(i);
  gWindows.push_back(window);
  return int(gWindows.size() - 1);
}

void PrintValues(InterfaceWindow* window) {
  for (const std::string& name : gOptions.values) {
    const int32_t index = find_element(window, name.c_str());
    if (index < 0) continue;
    char value[4096] = "";
    if (element_value(window, index, value, sizeof value) != kOk) continue;
    std::string shown;
    for (const char* c = value; *c; ++c) shown += *c == '\r' ? "\\r" : *c == '\n' ? "\\n" : std::string(1, *c);
    std::printf("value %s %s\n", name.c_str(), shown.c_str());
  }
  std::fflush(stdout);
}

Status Report(InterfaceWindow* window, void*, int32_t event, const char* page, int32_t index, const char* name) {
  if (event == kEventWindowMade && gOptions.testClasses) {
    add_element_class(window, "SWATCH", swatch_element);
    add_element_class(window, "FIELD", field_element);
    add_element_class(window, "PROBE", probe_element);
  }
  std::printf("event %d window %d page %s index %d name %s\n", int(event), Number(window), page ? page : "-",
              int(index), name ? name : "-");
  std::fflush(stdout);
  if (event == kEventActivated || event == kEventPageLeaving) PrintValues(window);
  for (int32_t veto : gOptions.vetoes)
    if (veto == event) return kErrRefused;
  return kOk;
}

bool Parse(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--test-classes") gOptions.testClasses = true;
    else if (!hasValue) return false;
    else if (option == "--folder" || option == "--archive") gOptions.location = PathText(argv[++i]);
    else if (option == "--file") gOptions.file = argv[++i];
    else if (option == "--page") gOptions.page = argv[++i];
    else if (option == "--title") gOptions.title = argv[++i];
    else if (option == "--variable") gOptions.variables.push_back(argv[++i]);
    else if (option == "--veto") gOptions.vetoes.push_back(std::atoi(argv[++i]));
    else if (option == "--value") gOptions.values.push_back(argv[++i]);
    else return false;
  }
  return !gOptions.location.empty();
}

Status Run() {
  Status status = start_interface_engine();
  if (status != kOk) return status;
  std::string classes = "classes";
  for (size_t i = 0; i < process_element_class_count(); ++i) classes += std::string(" ") + process_element_class_tag(i);
  std::printf("%s\n", classes.c_str());
  for (const std::string& assignment : gOptions.variables) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos) return kErrArgument;
    status = set_variable(nullptr, assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str());
    if (status != kOk) return status;
  }
  PathSpec* folder = nullptr;
  if ((status = PathResolve(nullptr, gOptions.location.c_str(), &folder, false)) != kOk) return status;
  InterfaceWindow* window = nullptr;
  status = open_interface(gOptions.title.c_str(), true, true, nullptr, folder, gOptions.file.c_str(), nullptr,
                          gOptions.page.empty() ? nullptr : gOptions.page.c_str(), Report, nullptr, &window);
  MSG message;
  while (status == kOk && is_interface_open(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      status = got == 0 ? Status(message.wParam) : kErrSystem;
      break;
    }
    if (!pretranslate_message(&message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (window && is_interface_open(window)) close_interface(window);
  PathDispose(folder);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (!Parse(argc, argv)) {
    std::fprintf(stderr, "usage: interface_host --folder PATH | --archive FILE [--file NAME] [--page NAME] ...\n");
    return 2;
  }
  const Status status = Run();
  std::printf("status %d\n", int(status));
  std::fflush(stdout);
  return status;
}
