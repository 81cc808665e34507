// TEXTBOX: styled text shown transparently over the page (a display box, on a hidden read-only
// rich-edit control that lays the text out), or, with EDITABLE, an input field of the order form (an edit
// control). Shared by the files of the class; the engine knows only textbox_element.
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/graphics_types.h"
#include "interface/controls/allowed_characters.h"
#include "interface/element_class.h"
#include "runtime/memory.h"

Status textbox_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

// A link of a display box: where its text lies in the control (the control's own character
// positions) and its target (a copy, freed with the link list).
struct TextLink {
  int32_t start;
  int32_t length;
  char* target;
};

// The transparent rendering's two layers, made on first use: the text in its colours on black, and a
// one-bit mask that is black where text is.
struct RenderLayers {
  HDC colourDc;
  HDC maskDc;
  HBITMAP colourBitmap;
  HBITMAP maskBitmap;
  HGDIOBJ colourDefault;  // what the memory contexts held before the bitmaps went in
  HGDIOBJ maskDefault;
  int32_t width;
  int32_t height;
  uint8_t ready;  // the layers hold the present text and colours
};

// The instance record (plain data in the instance buffer, zero-filled at creation).
struct TextBox {
  Colour foreground;
  Colour background;
  Colour linkColour;
  int32_t alignment;  // -1 left, 0 centre, 1 right
  uint8_t alignmentGiven;
  uint8_t foregroundGiven;
  uint8_t backgroundGiven;
  uint8_t editable;
  uint8_t singleLine;
  uint8_t richEdit20;  // the display control is "RichEdit20A" (else the older "RICHEDIT")
  uint8_t focused;
  uint8_t windowActive;
  uint8_t visible;
  uint8_t enabled;
  AllowedCharacters allowed;
  Rect rect;
  MemoryHandle links;  // TextLink entries of a display box, none before realise
  HWND control;
  HFONT font;          // an input box's font
  WNDPROC controlProc; // the control's own window procedure, under the class's
  RenderLayers layers;
};

TextBox* textbox_record(MemoryHandle instance);

// textbox_fill.cpp: makes the native control at realise and fills it from the element's content.
Status textbox_make_control(const ElementContext& context, TextBox* box);
void textbox_free_control(TextBox* box);
// The control's rectangle in the window for the element's rectangle.
Rect textbox_control_rect(const TextBox* box);

// textbox_render.cpp: draws a display box onto the page, transparently.
Status textbox_render(const ElementContext& context, TextBox* box);
void textbox_free_layers(RenderLayers* layers);

// textbox_links.cpp: the link list, the area of a link on the page, the cursor over links and the
// press on a link.
Status textbox_add_link(TextBox* box, int32_t start, int32_t length, const char* target);
void textbox_free_links(TextBox* box);
size_t textbox_link_count(const TextBox* box);
// The link under the point (window coordinates), or -1.
int32_t textbox_link_at(const TextBox* box, Point point);
// Tracks a press on the box's text; out is the mouse message's input result.
Status textbox_press(const ElementContext& context, TextBox* box, const MouseEvent& event, InputResult* result);

// textbox_input.cpp: the window procedure put under the controls: input boxes admit only their
// ALLOW characters, typed or pasted; display boxes never paint themselves.
void textbox_subclass_control(TextBox* box, MemoryHandle instance);

// Puts the box's procedure over a control that came spare, whose class procedure is ownProc.
void textbox_attach_spare(TextBox* box, MemoryHandle instance, WNDPROC ownProc);

// textbox_spares.cpp: display controls kept when their page goes, for the boxes of the next.
// A spare of the window made with this style, sized for the rectangle and emptied, and its class
// procedure; none when there is none.
HWND textbox_take_spare(HWND parent, DWORD style, const Rect& placed, WNDPROC* ownProc);
// Keeps a display control, the box's procedure still over its class procedure ownProc; false when no
// more are kept.
bool textbox_keep_spare(HWND control, DWORD style, WNDPROC ownProc);
// The box procedure's answer for a control that belongs to no box.
LRESULT textbox_spare_procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
