// The resources of the built program, read the way Windows reads them: its icon in every size, the
// empty price summary, the three interface sounds, the version resource naming the seller, and the
// manifest, whose activation context is used to check that the native controls work with the common
// controls it asks for.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/program_version.h"
#include "app/seller_settings.h"
#include "tests/app/data_module.h"

namespace {

class ProgramResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { program_ = new DataModule(SKYWARD_ORDER_PROGRAM); }
  static void TearDownTestSuite() {
    delete program_;
    program_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(program_->get(), nullptr) << program_->path; }
  static HMODULE Program() { return program_->get(); }

  // The bytes of a resource, empty when it is missing.
  static std::string ResourceBytes(const char* name, const char* type) {
    HRSRC found = FindResourceA(Program(), name, type);
    if (!found) return {};
    const void* data = LockResource(LoadResource(Program(), found));
    return std::string(static_cast<const char*>(data), SizeofResource(Program(), found));
  }

  static DataModule* program_;
};
DataModule* ProgramResourcesTest::program_ = nullptr;

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// A 32-bit top-down DIB section on a memory context, filled with one colour.
struct Canvas {
  Canvas(int width, int height, COLORREF fill) : size(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
    for (int i = 0; i < width * height; ++i) bits[i] = RGB(GetBValue(fill), GetGValue(fill), GetRValue(fill));
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const {
    const DWORD p = bits[y * size + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int size;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  DWORD* bits = nullptr;
};

bool IsSkyBlue(COLORREF c) { return GetBValue(c) > 150 && GetBValue(c) > GetRValue(c) + 60; }

TEST_F(ProgramResourcesTest, TheIconHasEverySizeAndEachDrawsWithItsCornersClear) {
  const std::string group = ResourceBytes("IDI_APPICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_GE(group.size(), 6u);
  WORD count;
  std::memcpy(&count, group.data() + 4, 2);
  ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
  std::vector<std::pair<int, int>> found;  // size, bits
  for (WORD i = 0; i < count; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    found.emplace_back(entry.width ? entry.width : 256, entry.bitCount);
  }
  for (const auto& wanted : std::vector<std::pair<int, int>>{
           {16, 32}, {24, 32}, {32, 32}, {48, 32}, {256, 32}, {16, 8}, {32, 8}, {48, 8}}) {
    EXPECT_NE(std::find(found.begin(), found.end(), wanted), found.end())
        << wanted.first << " pixels at " << wanted.second << " bits";
  }

  for (int size : {16, 24, 32, 48, 256}) {
    SCOPED_TRACE(size);
    // The image Windows picks for this size, made into an icon and drawn on white.
    const int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(const_cast<char*>(group.data())), TRUE,
                                               size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(id, 0);
    std::string image = ResourceBytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
    ASSERT_FALSE(image.empty());
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), DWORD(image.size()), TRUE,
                                          0x00030000, size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    Canvas canvas(size, size, RGB(255, 255, 255));
    ASSERT_TRUE(DrawIconEx(canvas.dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    DestroyIcon(icon);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));                // the rounded corner lets white through
    const int below = size - size / 8 - 1;                          // the tile, under the bird
    EXPECT_TRUE(IsSkyBlue(canvas.At(size / 2, below))) << std::hex << canvas.At(size / 2, below);
  }
}

TEST_F(ProgramResourcesTest, ThePriceSummaryStringIsThereAndEmpty) {
  // Its block (strings 992 to 1007) is in the program, so a seller's text has its place...
  ASSERT_NE(FindResourceA(Program(), MAKEINTRESOURCEA(1000 / 16 + 1), MAKEINTRESOURCEA(6)), nullptr);
  // ...and as shipped it reads as no text: not even a NUL character.
  const WCHAR* text = nullptr;
  EXPECT_EQ(LoadStringW(Program(), 1000, reinterpret_cast<LPWSTR>(&text), 0), 0);
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(LoadStringA(Program(), 1000, buffer, sizeof buffer), 0);
  EXPECT_EQ(buffer[0], '\0');
}

// A WAVE file's fields that matter here.
struct WaveFacts {
  bool wellFormed = false;
  WORD format = 0, channels = 0, bitsPerSample = 0;
  DWORD rate = 0;
  std::vector<int16_t> samples;
};

WaveFacts ReadWave(const std::string& bytes) {
  WaveFacts facts;
  auto u32 = [&](size_t at) { DWORD v; std::memcpy(&v, bytes.data() + at, 4); return v; };
  auto u16 = [&](size_t at) { WORD v; std::memcpy(&v, bytes.data() + at, 2); return v; };
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 4, "WAVE")) return facts;
  if (u32(4) != bytes.size() - 8) return facts;
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id = bytes.substr(at, 4);
    const DWORD length = u32(at + 4);
    if (length > bytes.size() - at - 8) return facts;
    if (id == "fmt " && length >= 16) {
      facts.format = u16(at + 8);
      facts.channels = u16(at + 10);
      facts.rate = u32(at + 12);
      const DWORD byteRate = u32(at + 16);
      const WORD blockAlign = u16(at + 20);
      facts.bitsPerSample = u16(at + 22);
      haveFormat = blockAlign == facts.channels * facts.bitsPerSample / 8 && byteRate == facts.rate * blockAlign;
    } else if (id == "data" && haveFormat && facts.bitsPerSample == 16) {
      facts.samples.resize(length / 2);
      std::memcpy(facts.samples.data(), bytes.data() + at + 8, facts.samples.size() * 2);
      facts.wellFormed = length % 2 == 0;
    }
    at += 8 + length + (length & 1);
  }
  return facts;
}

TEST_F(ProgramResourcesTest, TheSoundsAreShortQuietWaveData) {
  struct Sound {
    const char* name;
    double shortest, longest;  // seconds
  };
  for (const Sound& sound : {Sound{"CLICK.SND", 0.01, 0.1}, Sound{"UNCLICK.SND", 0.01, 0.1},
                             Sound{"BADUSER.SND", 0.15, 0.6}}) {
    SCOPED_TRACE(sound.name);
    const WaveFacts wave = ReadWave(ResourceBytes(sound.name, "WAVE"));
    ASSERT_TRUE(wave.wellFormed);
    EXPECT_EQ(wave.format, WAVE_FORMAT_PCM);
    EXPECT_EQ(wave.channels, 1);
    const double seconds = double(wave.samples.size()) / wave.rate;
    EXPECT_GE(seconds, sound.shortest);
    EXPECT_LE(seconds, sound.longest);
    int peak = 0;
    for (int16_t s : wave.samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_GT(peak, 32767 / 50);  // audible...
    EXPECT_LT(peak, 32767 / 3);   // ...and well below full scale
    EXPECT_LT(std::abs(int(wave.samples.back())), 32767 / 200);  // ends in silence, with no click of its own
  }
  // The handler names them in lower case; resource names match without regard to case.
  EXPECT_EQ(ResourceBytes("click.snd", "WAVE"), ResourceBytes("CLICK.SND", "WAVE"));
}

TEST_F(ProgramResourcesTest, PlaySoundTakesEachSoundFromTheProgram) {
  // Under Wine with the prefix's audio switched off, an asynchronous PlaySound answers TRUE and plays
  // nothing, so this shows only that the call is accepted; the sound's data is checked above.
  for (const char* name : {"CLICK.SND", "UNCLICK.SND", "BADUSER.SND"}) {
    EXPECT_TRUE(PlaySoundA(name, Program(), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT)) << name;
  }
  PlaySoundA(nullptr, nullptr, 0);
}

std::string VersionValue(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "(none)";
  return value;
}

std::vector<char> VersionBlock(const std::string& path) {
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, DWORD(block.size()), block.data())) block.clear();
  return block;
}

// The libraries named in a program file's import directory, read from the file as the loader reads it.
std::vector<std::string> ImportedLibraries(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::string> names;
  if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return names;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  if (size_t(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > bytes.size()) return names;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  // A virtual address of the image as an offset into the file.
  auto offsetOf = [&](DWORD address) -> size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& section = sections[i];
      if (address >= section.VirtualAddress && address < section.VirtualAddress + section.SizeOfRawData)
        return address - section.VirtualAddress + section.PointerToRawData;
    }
    return bytes.size();
  };
  const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t at = offsetOf(imports); at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
       at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + at);
    if (entry->Name == 0) break;
    const size_t name = offsetOf(entry->Name);
    if (name >= bytes.size()) break;
    std::string library(bytes.c_str() + name);
    CharLowerA(library.data());
    names.push_back(library);
  }
  return names;
}

// Libraries the program uses only now and then are loaded when first needed: linked, each would load
// with everything it needs before the program's first instruction, at every start.
TEST_F(ProgramResourcesTest, TheProgramLinksOnlyTheLibrariesEveryStartNeeds) {
  const std::vector<std::string> imported = ImportedLibraries(program_->path);
  ASSERT_NE(std::find(imported.begin(), imported.end(), "user32.dll"), imported.end())
      << "the import directory was not read";
  for (const char* late : {"comdlg32.dll", "shell32.dll", "winmm.dll", "wsock32.dll", "ws2_32.dll", "ole32.dll",
                           "riched20.dll", "comctl32.dll"})
    EXPECT_EQ(std::find(imported.begin(), imported.end(), late), imported.end()) << late;
}

TEST_F(ProgramResourcesTest, TheVersionResourceNamesTheProductAndTheSeller) {
  const std::vector<char> block = VersionBlock(program_->path);
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(SKYWARD_VERSION_MINOR, SKYWARD_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
  EXPECT_EQ(VersionValue(block, "ProductName"), "Skyward order program");
  EXPECT_EQ(VersionValue(block, "FileVersion"), SKYWARD_VERSION_TEXT);
  EXPECT_EQ(VersionValue(block, "OriginalFilename"), "SkywardOrder.exe");
  EXPECT_EQ(VersionValue(block, "CompanyName"), Seller().company);
  EXPECT_EQ(VersionValue(block, "LegalCopyright"), std::string("Copyright \xA9 ") + Seller().company);
}

TEST_F(ProgramResourcesTest, AProgramBuiltWithOtherSettingsNamesThatSeller) {
  const std::vector<char> block = VersionBlock(PathBesideTestProgram(SKYWARD_OTHER_SELLER_PROGRAM));
  ASSERT_FALSE(block.empty());
  // The company of tests/app/other_seller.txt, in the program's encoding.
  EXPECT_EQ(VersionValue(block, "CompanyName"), "M\xFCller & \"Sons\" \\ S\xF6hne; Ltd");
  EXPECT_EQ(VersionValue(block, "ProductName"), "Skyward order program");
}

// Makes a native control of the class on the parent window and returns it.
HWND MakeControl(HWND parent, const char* className, DWORD style, int y) {
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, y, 200, 24, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST_F(ProgramResourcesTest, TheManifestAsksForCommonControls6AndTheNativeControlsWorkWithThem) {
  const std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

  // The program's own activation context, made from that manifest as the loader makes it.
  ACTCTXA context{};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = program_->path.c_str();
  context.lpResourceName = MAKEINTRESOURCEA(1);
  HANDLE activation = CreateActCtxA(&context);
  ASSERT_NE(activation, INVALID_HANDLE_VALUE);
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(activation, &cookie));

  // The common controls the context leads to: the side-by-side assembly of version 6, not the system
  // folder's copy. (Wine's copy there reports 5.81 from DllGetVersion, so the folder is what tells.)
  HMODULE controls = LoadLibraryA("comctl32.dll");
  ASSERT_NE(controls, nullptr);
  char controlsPath[MAX_PATH] = {};
  GetModuleFileNameA(controls, controlsPath, MAX_PATH);
  CharLowerA(controlsPath);
  EXPECT_NE(std::string(controlsPath).find("common-controls_6595b64144ccf1df_6."), std::string::npos)
      << controlsPath;
  INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES};
  using InitRoutine = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initControls = reinterpret_cast<InitRoutine>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
  ASSERT_NE(initControls, nullptr);
  EXPECT_TRUE(initControls(&init));
  HMODULE richEdit = LoadLibraryA("riched20.dll");
  ASSERT_NE(richEdit, nullptr);

  HWND window = CreateWindowExA(0, "STATIC", "controls", WS_POPUP, 0, 0, 240, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  // A check box that does not check itself, as the order pages use it.
  HWND check = MakeControl(window, "BUTTON", BS_CHECKBOX, 10);
  ASSERT_NE(check, nullptr);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  HWND edit = MakeControl(window, "EDIT", ES_AUTOHSCROLL, 40);
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, "4111 1111 1111 1111");
  char text[64] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "4111 1111 1111 1111");
  HWND popup = MakeControl(window, "COMBOBOX", CBS_DROPDOWNLIST, 70);
  ASSERT_NE(popup, nullptr);
  for (const char* item : {"VISA", "Mastercard", "American Express"}) {
    SendMessageA(popup, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(popup, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessageA(popup, CB_GETCURSEL, 0, 0), 2);
  SendMessageA(popup, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "American Express");
  HWND rich = MakeControl(window, RICHEDIT_CLASSA, ES_MULTILINE, 100);
  ASSERT_NE(rich, nullptr);
  SetWindowTextA(rich, "One line\r\nand another");
  GetWindowTextA(rich, text, sizeof text);
  EXPECT_EQ(std::string(text).substr(0, 8), "One line");
  // The buttons are drawn into the page's off-screen buffer through WM_PRINT: it must draw.
  Canvas canvas(200, 24, RGB(255, 0, 255));
  SendMessageA(check, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
  int changed = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 200; ++x) changed += canvas.At(x, y) != RGB(255, 0, 255);
  }
  EXPECT_GT(changed, 100);

  DestroyWindow(window);
  FreeLibrary(richEdit);
  FreeLibrary(controls);
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(activation);
}

}  // namespace
