// Choosing files: the console prompts, driven through pipes by a console program of their own, and the
// open and save dialogs on the display, cancelled with the Escape key. Run under Wine and Xvfb.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "tests/files/file_layer_checks.h"

namespace {

// Runs a program and waits for it. Given input, the program reads it through a pipe as its standard
// input, and what it writes comes back.
std::string Run(std::string command, const std::string* input = nullptr) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (input) {
    if (!CreatePipe(&inRead, &inWrite, &inherited, 0) || !CreatePipe(&outRead, &outWrite, &inherited, 0)) {
      return "<pipe>";
    }
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = startup.hStdError = outWrite;
  }
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, bool(input), 0, nullptr, nullptr, &startup, &process);
  std::string output;
  if (input) {
    CloseHandle(inRead);
    CloseHandle(outWrite);
    DWORD done = 0;
    if (started) WriteFile(inWrite, input->data(), DWORD(input->size()), &done, nullptr);
    CloseHandle(inWrite);
    char buffer[512];
    while (started && ReadFile(outRead, buffer, sizeof buffer, &done, nullptr) && done > 0) output.append(buffer, done);
    CloseHandle(outRead);
  }
  if (!started) return "<not started>";
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return output;
}

// The prompt driver (found beside this program) asked with the input.
std::string Ask(const std::string& arguments, const std::string& input) {
  return Run("file_prompt_driver.exe " + arguments, &input);
}

// What the driver prints after the prompts.
std::string Result(Status status, bool exists, const std::string& folder, const std::string& name) {
  return "\n[status " + std::to_string(status) + " exists " + std::to_string(exists) + " folder " + folder + " name " +
         name + "]\n";
}

constexpr char kReplaceFile[] = "A file with that name already exists. Replace it? [y/N] : ";

TEST_F(FileLayerTest, ConsolePromptsTakeTheirAnswersThroughAPipe) {
  const std::string root = TextOf(FileLayerRoot());
  EXPECT_EQ(Ask("save", "my file.txt\r\n"), "Enter a file name: " + Result(kOk, false, root, "my"));
  EXPECT_EQ(Ask("save", ""), "Enter a file name: " + Result(kErrCancelled, false, "", ""));
  // x and Enter: the short prompt, then no, and the name is asked again.
  EXPECT_EQ(Ask("save", "file_prompt_driver.exe\nx\n\n"),
            std::string("Enter a file name: ") + kReplaceFile + "[y/N] : Enter a file name: " +
                Result(kErrCancelled, false, "", ""));
  // The fifth attempt repeats the whole question.
  EXPECT_EQ(Ask("save", "file_prompt_driver.exe\nxxxxY\n"),
            std::string("Enter a file name: ") + kReplaceFile + "[y/N] : [y/N] : [y/N] : " + kReplaceFile +
                Result(kOk, true, root, "file_prompt_driver.exe"));
  EXPECT_EQ(Ask("save \"Save the order as:\"", "C:\\windows\nn\n"),
            "Save the order as: A folder with that name already exists. Replace it? [y/N] : Save the order as: " +
                Result(kErrCancelled, false, "", ""));
  // Opening asks again until the kind fits.
  EXPECT_EQ(Ask("file", "no such file.txt\nC:\\windows\nfile_prompt_driver.exe\tignored\n"),
            "Select a file: There is no such file.\n\nSelect a file: That is not a file!\n\nSelect a file: " +
                Result(kOk, false, root, "file_prompt_driver.exe"));
  EXPECT_EQ(Ask("folder \"Pick a place:\"", "file_prompt_driver.exe\nC:\\windows\n"),
            "Pick a place: That is not a folder!\n\nPick a place: " + Result(kOk, false, "/C/windows", ""));
}

struct SeenDialog {
  bool shown = false;
  std::string name;      // the file name box
  bool cancelled = false;  // gone after the Escape key
};

// Waits for the dialog of that title, reads its file name box, takes a picture of the screen when
// SKYWARD_SCREENSHOTS names a folder, and presses Escape on the display (Wine starts the tools that
// work the display as programs of this machine).
void CancelDialog(const std::string& title, SeenDialog* seen) {
  HWND dialog = nullptr;
  for (int i = 0; i < 400 && !dialog; ++i) {
    dialog = FindWindowA(nullptr, title.c_str());
    if (!dialog || !IsWindowVisible(dialog)) dialog = nullptr, Sleep(50);
  }
  if (!dialog) {  // one under another title is closed, so that the test goes on to fail
    if (HWND other = FindWindowA("#32770", nullptr)) PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  seen->shown = true;
  Sleep(500);  // until it is drawn and has the focus
  char name[MAX_PATH] = "";
  if (!GetDlgItemTextA(dialog, 0x47c, name, sizeof name)) GetDlgItemTextA(dialog, 0x480, name, sizeof name);
  seen->name = name;
  if (const char* folder = std::getenv("SKYWARD_SCREENSHOTS")) {
    std::string file = title;
    for (char& c : file) c = c == ' ' ? '-' : c;
    Run(std::string("/usr/bin/import -window root ") + folder + "/" + file + ".png");
  }
  Run("/usr/bin/xdotool search --name \"^" + title + "$\" windowfocus --sync key Escape");
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
  seen->cancelled = !IsWindow(dialog);
  if (!seen->cancelled) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // so that the test ends
}

TEST_F(FileLayerTest, DialogsShowTheirTitlesAndCancelWithMinus7007) {
  FileSetDialogModule(GetModuleHandleA(nullptr));
  struct Case {
    const char* title;  // shown
    bool save, folderMode;
    const char* given;
  };
  for (const Case& c : {Case{"Save As", true, false, nullptr}, Case{"Select a file", false, false, nullptr},
                        Case{"Select a folder", false, true, nullptr},
                        Case{"Open a picture", false, false, "Open a picture"}}) {
    PathSpec* folder = nullptr;
    bool exists = true;
    char name[kEscapedNameSize] = "x";
    SeenDialog seen;
    std::thread watcher(CancelDialog, c.title, &seen);
    EXPECT_EQ(c.save ? FileSelectSave(c.given, "registration.txt", &folder, &exists, name)
                     : FileSelect(c.given, c.folderMode, &folder, name),
              kErrCancelled)
        << c.title;
    watcher.join();
    EXPECT_TRUE(seen.shown && seen.cancelled) << c.title;
    EXPECT_EQ(seen.name, c.save ? "registration.txt" : "") << c.title;
    EXPECT_EQ(folder, nullptr);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(exists, !c.save) << "untouched unless saving";
  }
  FileSetDialogModule(nullptr);
}

}  // namespace
