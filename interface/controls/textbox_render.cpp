// Drawing a display box transparently: the rich-edit control renders its text into a colour layer,
// a one-bit mask of the text is taken from it, and the two go onto the page so that only the text's
// own pixels replace the page's.
#include <richedit.h>

#include "interface/controls/textbox.h"

namespace {

// Destination AND NOT source: the colour layer keeps its pixels where the mask is black (text).
constexpr DWORD kKeepUnderBlackMask = 0x220326;

constexpr COLORREF kBlackRef = RGB(0, 0, 0);
constexpr COLORREF kWhiteRef = RGB(255, 255, 255);

Status MakeLayers(HDC reference, RenderLayers* layers, int32_t width, int32_t height) {
  layers->colourDc = CreateCompatibleDC(reference);
  layers->maskDc = CreateCompatibleDC(reference);
  layers->colourBitmap = CreateCompatibleBitmap(reference, width, height);
  layers->maskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
  if (!layers->colourDc || !layers->maskDc || !layers->colourBitmap || !layers->maskBitmap) {
    textbox_free_layers(layers);
    return kErrMemory;
  }
  layers->colourDefault = SelectObject(layers->colourDc, layers->colourBitmap);
  layers->maskDefault = SelectObject(layers->maskDc, layers->maskBitmap);
  layers->width = width;
  layers->height = height;
  layers->ready = 0;
  return kOk;
}

// The control lays its whole text out in a page the size of the box.
void RenderText(HWND control, HDC dc, int32_t width, int32_t height) {
  FORMATRANGE range{};
  range.hdc = dc;
  range.hdcTarget = dc;
  range.rc = {0, 0, MulDiv(width, 1440, GetDeviceCaps(dc, LOGPIXELSX)), MulDiv(height, 1440, GetDeviceCaps(dc, LOGPIXELSY))};
  range.rcPage = range.rc;
  range.chrg = {0, -1};
  const LRESULT formatted = SendMessageA(control, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  SendMessageA(control, EM_FORMATRANGE, FALSE, 0);  // lets the control drop what it cached for the device
  // Some rich-edit controls (Wine's, up to at least 8.0) answer EM_FORMATRANGE without rendering
  // anything: the text - never empty, it ends in a line break - then comes from the control printing
  // its client area, which is the box's size and holds the same layout.
  if (formatted <= 0) SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// The layers are filled with the control's background colour (white unless BGCOLOR says otherwise),
// so that whichever way the control renders, with or without its background, every pixel that is
// not background is text.
void PrepareLayers(HWND control, const Colour& background, RenderLayers* layers) {
  const int32_t width = layers->width;
  const int32_t height = layers->height;
  const COLORREF backgroundRef = RGB(background.red, background.green, background.blue);
  const RECT all{0, 0, width, height};
  if (HBRUSH brush = CreateSolidBrush(backgroundRef)) {
    FillRect(layers->colourDc, &all, brush);
    DeleteObject(brush);
  }
  PatBlt(layers->maskDc, 0, 0, width, height, WHITENESS);
  // The control may leave colours of its own in the context it renders into.
  const int saved = SaveDC(layers->colourDc);
  SetTextColor(layers->colourDc, kBlackRef);
  SetBkColor(layers->colourDc, backgroundRef);
  RenderText(control, layers->colourDc, width, height);
  RestoreDC(layers->colourDc, saved);
  // Into one bit per pixel: the layer's background colour gives 1 (white), text gives 0 (black).
  SetBkColor(layers->colourDc, backgroundRef);
  BitBlt(layers->maskDc, 0, 0, width, height, layers->colourDc, 0, 0, SRCCOPY);
  // Back to colour the mask reads 0 as the layer's text colour (black) and 1 as its background colour,
  // white here, so everything but the text turns black.
  SetTextColor(layers->colourDc, kBlackRef);
  SetBkColor(layers->colourDc, kWhiteRef);
  BitBlt(layers->colourDc, 0, 0, width, height, layers->maskDc, 0, 0, kKeepUnderBlackMask);
  layers->ready = 1;
}

}  // namespace

Status textbox_render(const ElementContext& context, TextBox* box) {
  const int32_t width = box->rect.right - box->rect.left;
  const int32_t height = box->rect.bottom - box->rect.top;
  RenderLayers* layers = &box->layers;
  if (layers->colourDc && (layers->width != width || layers->height != height)) textbox_free_layers(layers);
  if (!layers->colourDc)
    if (Status status = MakeLayers(context.dc, layers, width, height); status != kOk) return status;
  if (!layers->ready) PrepareLayers(box->control, box->background, layers);

  // The mask goes onto the page in black and white whatever colours the page has selected: the page
  // turns black under the text and stays as it was elsewhere; then the text's colours go in there.
  const COLORREF text = SetTextColor(context.dc, kBlackRef);
  const COLORREF back = SetBkColor(context.dc, kWhiteRef);
  const bool drawn = BitBlt(context.dc, box->rect.left, box->rect.top, width, height, layers->maskDc, 0, 0, SRCAND) &&
                     BitBlt(context.dc, box->rect.left, box->rect.top, width, height, layers->colourDc, 0, 0, SRCPAINT);
  SetTextColor(context.dc, text);
  SetBkColor(context.dc, back);
  return drawn ? kOk : kErrMemory;
}

void textbox_free_layers(RenderLayers* layers) {
  if (layers->colourDc && layers->colourDefault) SelectObject(layers->colourDc, layers->colourDefault);
  if (layers->maskDc && layers->maskDefault) SelectObject(layers->maskDc, layers->maskDefault);
  if (layers->colourBitmap) DeleteObject(layers->colourBitmap);
  if (layers->maskBitmap) DeleteObject(layers->maskBitmap);
  if (layers->colourDc) DeleteDC(layers->colourDc);
  if (layers->maskDc) DeleteDC(layers->maskDc);
  *layers = RenderLayers{};
}
