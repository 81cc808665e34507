// Choosing files: the console prompts, driven through pipes by a console program of their own, and the
// open and save dialogs on the display, cancelled with the Escape key. Run under Wine and Xvfb.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "tests/files/file_layer_checks.h"

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path, length);
  return full.substr(0, full.find_last_of('\\'));
}

// Runs the prompt driver with the input as its standard input; gives what it wrote.
std::string Ask(const std::string& arguments, const std::string& input) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite;
  if (!CreatePipe(&inRead, &inWrite, &inherited, 0) || !CreatePipe(&outRead, &outWrite, &inherited, 0)) return "<pipe>";
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = startup.hStdError = outWrite;
  std::string command = "\"" + ProgramFolder() + "\\file_prompt_driver.exe\" " + arguments;
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(inRead);
  CloseHandle(outWrite);
  DWORD done = 0;
  if (started) WriteFile(inWrite, input.data(), DWORD(input.size()), &done, nullptr);
  CloseHandle(inWrite);
  std::string output;
  char buffer[512];
  while (started && ReadFile(outRead, buffer, sizeof buffer, &done, nullptr) && done > 0) output.append(buffer, done);
  CloseHandle(outRead);
  if (!started) return "<not started>";
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return output;
}

class ConsolePrompts : public FileLayerTest {
 protected:
  std::string Result(Status status, bool exists, const std::string& folder, const std::string& name) {
    return "\n[status " + std::to_string(status) + " exists " + std::to_string(exists) + " folder " + folder +
           " name " + name + "]\n";
  }
  std::string root() { return TextOf(FileLayerRoot()); }
};

constexpr char kReplaceFile[] = "A file with that name already exists. Replace it? [y/N] : ";

TEST_F(ConsolePrompts, SaveTakesTheFirstWordAndAsksBeforeReplacing) {
  EXPECT_EQ(Ask("save", "my file.txt\r\n"), "Enter a file name: " + Result(kOk, false, root(), "my"));
  EXPECT_EQ(Ask("save", ""), "Enter a file name: " + Result(kErrCancelled, false, "", ""));
  // x and Enter: the short prompt, then no, and the name is asked again.
  EXPECT_EQ(Ask("save", "file_prompt_driver.exe\nx\n\n"),
            std::string("Enter a file name: ") + kReplaceFile + "[y/N] : Enter a file name: " +
                Result(kErrCancelled, false, "", ""));
  // The fifth attempt repeats the whole question.
  EXPECT_EQ(Ask("save", "file_prompt_driver.exe\nxxxxY\n"),
            std::string("Enter a file name: ") + kReplaceFile + "[y/N] : [y/N] : [y/N] : " + kReplaceFile +
                Result(kOk, true, root(), "file_prompt_driver.exe"));
  EXPECT_EQ(Ask("save \"Save the order as:\"", "C:\\windows\nn\n"),
            "Save the order as: A folder with that name already exists. Replace it? [y/N] : Save the order as: " +
                Result(kErrCancelled, false, "", ""));
}

TEST_F(ConsolePrompts, OpenAsksAgainUntilTheKindFits) {
  EXPECT_EQ(Ask("file", "no such file.txt\nC:\\windows\nfile_prompt_driver.exe\tignored\n"),
            "Select a file: There is no such file.\n\nSelect a file: That is not a file!\n\nSelect a file: " +
                Result(kOk, false, root(), "file_prompt_driver.exe"));
  EXPECT_EQ(Ask("folder \"Pick a place:\"", "file_prompt_driver.exe\nC:\\windows\n"),
            "Pick a place: That is not a folder!\n\nPick a place: " + Result(kOk, false, "/C/windows", ""));
  EXPECT_EQ(Ask("folder", "\n"), "Select a folder: " + Result(kErrCancelled, false, "", ""));
}

// Runs a program of the machine the display belongs to (Wine starts it as a native process).
void RunNative(const std::string& command) {
  std::string line = command;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
  WaitForSingleObject(process.hProcess, 20000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

struct SeenDialog {
  bool shown = false;
  std::string name;      // the file name box
  bool cancelled = false;  // gone after the Escape key
};

// Waits for the dialog of that title, reads its file name box, takes a picture of the screen when
// SKYWARD_SCREENSHOTS names a folder, and presses Escape on the display.
void CancelDialog(const std::string& title, SeenDialog* seen) {
  HWND dialog = nullptr;
  for (int i = 0; i < 400 && !dialog; ++i) {
    dialog = FindWindowA(nullptr, title.c_str());
    if (!dialog || !IsWindowVisible(dialog)) dialog = nullptr, Sleep(50);
  }
  if (!dialog) return;
  seen->shown = true;
  Sleep(500);  // until it is drawn and has the focus
  char name[MAX_PATH] = "";
  if (!GetDlgItemTextA(dialog, 0x47c, name, sizeof name)) GetDlgItemTextA(dialog, 0x480, name, sizeof name);
  seen->name = name;
  if (const char* folder = std::getenv("SKYWARD_SCREENSHOTS")) {
    std::string file = title;
    for (char& c : file) c = c == ' ' ? '-' : c;
    RunNative(std::string("/usr/bin/import -window root ") + folder + "/" + file + ".png");
  }
  RunNative("/usr/bin/xdotool search --name \"^" + title + "$\" windowfocus --sync key Escape");
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
  seen->cancelled = !IsWindow(dialog);
  if (!seen->cancelled) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // so that the test ends
}

class FileDialogs : public FileLayerTest {
 protected:
  void SetUp() override {
    FileLayerTest::SetUp();
    FileSetDialogModule(GetModuleHandleA(nullptr));
  }
  void TearDown() override {
    FileSetDialogModule(nullptr);
    FileLayerTest::TearDown();
  }
};

TEST_F(FileDialogs, SaveAndOpenShowTheirTitlesAndCancelWithMinus7007) {
  PathSpec* folder = nullptr;
  bool exists = true;
  char name[kEscapedNameSize] = "x";
  SeenDialog save;
  std::thread watcher(CancelDialog, "Save As", &save);
  EXPECT_EQ(FileSelectSave(nullptr, "registration.txt", &folder, &exists, name), kErrCancelled);
  watcher.join();
  EXPECT_TRUE(save.shown);
  EXPECT_EQ(save.name, "registration.txt");
  EXPECT_TRUE(save.cancelled);
  EXPECT_EQ(folder, nullptr);
  EXPECT_FALSE(exists);
  EXPECT_STREQ(name, "");

  struct Case {
    const char* title;
    bool folderMode;
    const char* given;
  };
  for (const auto& [title, folderMode, given] : {Case{"Select a file", false, nullptr},
                                                 Case{"Select a folder", true, nullptr},
                                                 Case{"Open a picture", false, "Open a picture"}}) {
    SeenDialog open;
    std::thread opener(CancelDialog, title, &open);
    EXPECT_EQ(FileSelect(given, folderMode, &folder, name), kErrCancelled) << title;
    opener.join();
    EXPECT_TRUE(open.shown && open.cancelled) << title;
    EXPECT_EQ(open.name, "") << title;
  }
}

}  // namespace
