// Making a text box's native control and filling it with the element's styled text.
#include <richedit.h>

#include "graphics/font_faces.h"
#include "interface/controls/textbox.h"
#include "interface/element_support.h"
#include "interface/text_flow.h"
#include "runtime/text.h"

namespace {

// A face name in a character format or a logical font holds 31 bytes and a NUL.
constexpr size_t kShortFaceSize = 32;
constexpr char kDefaultFace[] = "system";

// The rich-edit library, loaded once for the process (it stays loaded: its window classes must outlive
// every control made from them). The newer library first, the older one when it is missing.
struct RichEditLibrary {
  const char* windowClass;
  bool version20;
};

bool LoadRichEdit(RichEditLibrary* library) {
  static int loaded = 0;  // 0 not tried, 2 the newer library, 1 the older one, -1 neither
  if (loaded == 0) {
    if (LoadLibraryA("RICHED20.DLL"))
      loaded = 2;
    else if (LoadLibraryA("RICHED32.DLL"))
      loaded = 1;
    else
      loaded = -1;
  }
  if (loaded < 0) return false;
  library->windowClass = loaded == 2 ? "RichEdit20A" : "RICHEDIT";
  library->version20 = loaded == 2;
  return true;
}

COLORREF ToColorRef(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// The run's face list as the device resolves it, else the default face; cut to fit a short face field.
void RunFace(HDC dc, const RunStyle& style, char face[kShortFaceSize]) {
  char resolved[256];
  const char* found = style.face ? FontResolveFaces(dc, style.face, resolved) : nullptr;
  TextCopyBounded(face, found ? found : kDefaultFace, kShortFaceSize);
}

CHARFORMATA CharacterFormat(HDC dc, const TextBox* box, const RunStyle& style) {
  const RunFormat format = run_format(style, GetDeviceCaps(dc, LOGPIXELSY), box->foreground, box->linkColour);
  CHARFORMATA result{};
  result.cbSize = sizeof result;
  result.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE |
                  CFM_CHARSET | CFM_OFFSET | CFM_PROTECTED;
  result.dwEffects = (format.bold ? CFE_BOLD : 0) | (format.italic ? CFE_ITALIC : 0) |
                     (format.underline ? CFE_UNDERLINE : 0);
  result.yHeight = format.twips;
  result.crTextColor = ToColorRef(format.colour);
  result.bCharSet = ANSI_CHARSET;
  result.bPitchAndFamily = format.fixedPitch ? FIXED_PITCH : DEFAULT_PITCH;
  RunFace(dc, style, result.szFaceName);
  return result;
}

LOGFONTA LogicalFont(HDC dc, const TextBox* box, const RunStyle& style) {
  const RunFormat format = run_format(style, GetDeviceCaps(dc, LOGPIXELSY), box->foreground, box->linkColour);
  LOGFONTA font{};
  font.lfHeight = format.fontHeight;
  font.lfWeight = format.fontWeight;
  font.lfItalic = format.italic;
  font.lfUnderline = format.underline;
  font.lfCharSet = ANSI_CHARSET;
  font.lfPitchAndFamily = format.fixedPitch ? FIXED_PITCH : DEFAULT_PITCH;
  RunFace(dc, style, font.lfFaceName);
  return font;
}

// Single-line when SINGLE says so, else when the box is at most twice as high as its first text.
bool DecideSingleLine(const TextBox* box, const RunStyle& first) {
  bool single = false;
  if (running_boolean("SINGLE", &single)) return single;
  const int32_t size = first.size > 0 ? first.size : kDefaultRunSize;
  return int64_t(box->rect.bottom) - box->rect.top <= 2 * int64_t(size);
}

DWORD ControlStyle(const TextBox* box) {
  DWORD style = WS_CHILD;
  if (box->alignmentGiven) style |= box->alignment == 0 ? ES_CENTER : box->alignment > 0 ? ES_RIGHT : ES_LEFT;
  style |= box->singleLine ? ES_AUTOHSCROLL : ES_MULTILINE | ES_AUTOVSCROLL;
  return box->editable ? style | WS_BORDER | WS_TABSTOP : style | WS_DISABLED;
}

HWND MakeWindow(const ElementContext& context, const TextBox* box, DWORD extendedStyle, const char* windowClass,
                DWORD style) {
  const Rect placed = textbox_control_rect(box);
  return CreateWindowExA(extendedStyle, windowClass, "", style, placed.left, placed.top, placed.right - placed.left,
                         placed.bottom - placed.top, context.window, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The caret of a rich-edit control: after an insertion it stands at the end of what was inserted.
int32_t Caret(HWND control) {
  CHARRANGE range{};
  SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax;
}

// Appends each run at the end of the control's text in its own format, and enters the links.
Status FillDisplay(const ElementContext& context, TextBox* box, const StyledText& styled) {
  const size_t runs = styled.RunCount();
  // Where each run begins and ends in the control: the control counts a line break its own way.
  UniqueBlock<int32_t> bounds(static_cast<int32_t*>(BlockNew((runs + 1) * 2 * sizeof(int32_t))));
  if (!bounds) return kErrMemory;
  int32_t end = 0;
  for (size_t i = 0; i < runs; ++i) {
    const TextRun& run = styled.Run(i);
    UniqueBlock<char> piece(static_cast<char*>(BlockNew(run.length + 1)));
    if (!piece) return kErrMemory;
    BytesCopy(piece.get(), styled.Text() + run.offset, run.length);
    piece.get()[run.length] = '\0';
    // The format set at the caret is the one the inserted text takes: one layout of the text per run,
    // not two.
    CHARFORMATA format = CharacterFormat(context.dc, box, run.style);
    SendMessageA(box->control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(box->control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.get()));
    const int32_t start = end;
    end = Caret(box->control);
    bounds.get()[2 * i] = start;
    bounds.get()[2 * i + 1] = end;
  }
  for (size_t i = 0; i < styled.LinkCount(); ++i) {
    const LinkRange& link = styled.Link(i);
    const int32_t start = bounds.get()[2 * link.firstRun];
    const int32_t stop = bounds.get()[2 * (link.firstRun + link.runCount - 1) + 1];
    if (Status status = textbox_add_link(box, start, stop - start, styled.Run(link.firstRun).style.link);
        status != kOk)
      return status;
  }
  SendMessageA(box->control, EM_SETSEL, end, end);
  SendMessageA(box->control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\n"));
  SendMessageA(box->control, EM_SETSEL, 0, 0);
  // The control stays hidden: the box draws the text onto the page itself, and showing and hiding
  // child windows is costly under Wine.
  SendMessageA(box->control, EM_SETREADONLY, TRUE, 0);
  return kOk;
}

// An input box takes the whole text at once, in one font: that of its first text.
Status FillInput(const ElementContext& context, TextBox* box, const StyledText& styled) {
  const LOGFONTA logical = LogicalFont(context.dc, box, styled.first);
  box->font = CreateFontIndirectA(&logical);
  if (!box->font) return kErrMemory;
  SendMessageA(box->control, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), FALSE);
  UniqueBlock<char> text(static_cast<char*>(BlockNew(styled.TextLength() + 1)));
  if (!text) return kErrMemory;
  BytesCopy(text.get(), styled.Text(), styled.TextLength());
  text.get()[styled.TextLength()] = '\0';
  if (!SetWindowTextA(box->control, text.get())) return kErrNativeWindow;
  SendMessageA(box->control, EM_SETSEL, 0, -1);
  ShowWindow(box->control, box->visible ? SW_SHOWNA : SW_HIDE);
  return kOk;
}

}  // namespace

Rect textbox_control_rect(const TextBox* box) {
  Rect placed = box->rect;
  if (box->editable) placed.bottom += 2;  // room for the field's border below its text
  return placed;
}

Status textbox_make_control(const ElementContext& context, TextBox* box) {
  if (box->control) return kOk;
  StyledText styled;
  if (Status status = build_styled_text(running_document(), context.node, &styled); status != kOk) return status;
  box->singleLine = DecideSingleLine(box, styled.first);

  if (box->editable) {
    box->control = MakeWindow(context, box, 0, "EDIT", ControlStyle(box));
  } else {
    RichEditLibrary library;
    if (!LoadRichEdit(&library)) return kErrMemory;
    box->richEdit20 = library.version20;
    WNDPROC ownProc = nullptr;
    box->control = textbox_take_spare(context.window, ControlStyle(box), textbox_control_rect(box), &ownProc);
    if (box->control) textbox_attach_spare(box, context.instance, ownProc);
    else box->control = MakeWindow(context, box, WS_EX_TRANSPARENT, library.windowClass, ControlStyle(box));
  }
  if (!box->control) return kErrMemory;
  if (!box->controlProc) textbox_subclass_control(box, context.instance);
  if (!box->editable) SendMessageA(box->control, EM_SETBKGNDCOLOR, 0, ToColorRef(box->background));

  const Status status = box->editable ? FillInput(context, box, styled) : FillDisplay(context, box, styled);
  if (status != kOk) textbox_free_control(box);
  return status;
}

void textbox_free_control(TextBox* box) {
  textbox_free_links(box);
  if (box->control && (box->editable || !textbox_keep_spare(box->control, ControlStyle(box), box->controlProc)))
    DestroyWindow(box->control);
  box->control = nullptr;
  box->controlProc = nullptr;
  if (box->font) DeleteObject(box->font);
  box->font = nullptr;
}
