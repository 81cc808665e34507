// Times page changes in an interface window: from the activation of a link in the frame of the first
// page to the new page painted on the window, over and over between two framed pages.
//
//   page_change_bench --folder PATH [--file classic.iml] [--frame walk] [--pages intro,main] [--count 200]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "interface/interface.h"
#include "interface/page_directory.h"

namespace {

std::string PathText(const std::string& windowsPath) {
  std::string text = "/" + windowsPath.substr(0, 1) + (windowsPath.size() > 2 ? windowsPath.substr(2) : "");
  for (char& c : text) c = c == '\\' ? '/' : c;
  return text;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!pretranslate_message(&message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  std::string folderPath, file = "classic.iml", frame = "walk", pages = "intro,main";
  int count = 200;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--folder") folderPath = value;
    else if (option == "--file") file = value;
    else if (option == "--frame") frame = value;
    else if (option == "--pages") pages = value;
    else if (option == "--count") count = std::max(2, std::atoi(value.c_str()));
  }
  const size_t comma = pages.find(',');
  const std::string links[2] = {"#" + pages.substr(0, comma), "#" + pages.substr(comma + 1)};
  PathSpec* folder = nullptr;
  InterfaceWindow* window = nullptr;
  Status status = start_interface_engine();
  if (status == kOk) status = PathResolve(nullptr, PathText(folderPath).c_str(), &folder, false);
  if (status == kOk)
    status = open_interface("Page change benchmark", true, true, nullptr, folder, file.c_str(), nullptr, nullptr,
                            nullptr, nullptr, &window);
  intptr_t nested = 0;
  if (status == kOk) status = element_instance(window, find_element(window, frame.c_str()), &nested);
  if (status != kOk || !nested) {
    std::printf("page change benchmark: cannot open %s with a frame %s (status %d)\n", file.c_str(), frame.c_str(),
                int(status));
    return 1;
  }
  auto* framed = reinterpret_cast<InterfaceWindow*>(nested);
  std::vector<double> times;
  for (int i = 0; i < count && status == kOk; ++i) {
    Pump();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    status = follow_link(framed, nullptr, links[(i + 1) % 2].c_str());
    GdiFlush();
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
    // A page the file lacks would leave the frame empty and time nothing.
    const PageRecord* shown = current_page(framed);
    if (status == kOk && (!shown || links[(i + 1) % 2] != std::string("#") + shown->name)) {
      std::printf("page change benchmark: %s is not a page of %s\n", links[(i + 1) % 2].c_str(), file.c_str());
      close_interface(window);
      PathDispose(folder);
      return 1;
    }
  }
  close_interface(window);
  PathDispose(folder);
  if (status != kOk) {
    std::printf("page change benchmark: a change failed with status %d\n", int(status));
    return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("page change (%s, %s <-> %s, %d changes): median %.2f ms, 90th percentile %.2f ms, max %.2f ms\n",
              file.c_str(), links[0].c_str(), links[1].c_str(), count, times[times.size() / 2],
              times[times.size() * 9 / 10], times.back());
  return 0;
}
