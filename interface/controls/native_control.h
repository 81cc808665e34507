// What the element classes built on native child controls (buttons, check boxes, radio buttons,
// combo boxes) do alike: drawing the control into the page, moving and retitling it, the rule that
// enables it, hit testing and the short pushed flash of a shortcut. Windows only.
#pragma once

#include <windows.h>

#include "graphics/graphics_types.h"
#include "interface/element_class.h"
#include "runtime/status.h"

// How long a shortcut shows a control pushed.
constexpr DWORD kShortcutFlashMs = 120;
// Native control texts are cut to this many characters.
constexpr size_t kNativeTextLimit = 255;

// A child control of the element's window at the rectangle; none (and -8400) when it cannot be made.
Status native_control_create(const ElementContext& context, const char* windowClass, const char* text,
                             DWORD style, const Rect& rect, HWND* control);
// Paints the control into the drawing context at its rectangle: itself when the context is the
// window's own, else printed into the context (the page's off-screen buffer).
Status native_control_draw(const ElementContext& context, HWND control, const Rect& rect);
// -8400 when the control cannot be moved or retitled.
Status native_control_move(HWND control, const Rect& rect);
Status native_control_set_text(HWND control, const char* text);
// Usable exactly when the window is active, the element enabled and the interface accepts input.
void native_control_update_enabling(HWND control, bool windowActive, bool enabled);
// The control is shown and is the window's child at the point.
bool native_control_hit(const ElementContext& context, HWND control, const Point& point);
// Shows a push button pushed for a moment.
void native_control_flash(HWND control);

// The element's title kept as a text buffer of the protocol (see text_buffer_append).
Status title_store(MemoryHandle title, const char* text);
