// What an element-class handler may call back into the engine: the attributes of the element it
// serves, the value readers, its images, events to the page program, focus and redrawing, and the
// small buffers of the protocol. Everything marked "running" acts on the element whose handler is
// running (the engine keeps it while the handler runs, also in nested calls). Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "graphics/pixmap.h"
#include "images/image.h"
#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/element_class.h"

// --- The running element and its markup

InterfaceWindow* running_window();
Element* running_element();
// The attribute's value on the element, or none.
const char* running_attribute(const char* name);
// On the element or, failing that, on its nearest ancestor that has it (up to the document's top).
const char* running_inherited_attribute(const char* name);
// Of the nearest enclosing element (the element itself included) whose tag is `tag`; none when there
// is no such element or it lacks the attribute.
const char* running_enclosing_attribute(const char* tag, const char* name);
// The element's tag, upper-cased ("BUTTON").
const char* running_tag();
// The first top-level node of the document the element belongs to: what the walks of
// interface/document_tree.h and interface/text_flow.h take as `tree` (a text box builds its styled
// text from its ancestors up to the INTERFACE).
MarkupNode* running_document();
// ALIGN of the element or of its nearest ancestor; inside a CENTER element the search stops at that
// CENTER. *alignment: kAlignLeft (-1), kAlignCentre (0) or kAlignRight (1); centre when none is found,
// and then the answer is false.
bool running_alignment(int32_t* alignment);

// Value readers over the running element's attributes (the text forms are in attribute_values.h).
// Each answers whether the attribute was there; an absent one leaves the output alone.
bool running_integer(const char* name, int32_t* value);
bool running_rectangle(const char* name, Rect* rect);
// False also for a value that is no colour ("#12345"): the output is then left alone.
bool running_colour(const char* name, Colour* colour);
bool running_boolean(const char* name, bool* value);

// --- Images of the page archive

struct ElementImage {
  Pixmap* pixmap;              // none when the file is missing
  Pixmap* mask;                // none unless the image has a separate mask map
  MaskDescriptor maskDescriptor;
  int32_t width;
  int32_t height;
};

// The named image of the page archive (the folder the window's page file came from), served from the
// top-level window's preloaded images, or read and decoded now and kept there. The maps belong to the
// window and stay valid until it closes: do not dispose of them. A missing file (-7201, -7202, -7203)
// gives no image and 0; other read and decoding failures are returned.
Status element_image(const char* file, ElementImage* image);

// --- Events, activation and input

// Sends the event (kEventPressBegins ... kEventPressEnds) to the page program's callback with the
// running element; returns the callback's answer.
Status notify(int32_t event);
// True when the running element's window and every window enclosing it are visible and enabled.
bool interface_accepts_input();
// Marks the input as taken by the running element, with a link to follow (none: its own HREF).
// A link longer than the result holds is cut.
void input_take(InputResult* result, const char* link);

// Call before hiding or disabling an element that may have the keyboard focus: when the running
// element has it, the focus moves on along the tab order (to none when no other element can take it).
Status focus_leave_running_element();

// Draws the running element's rectangle again now: the page into the off-screen buffer, then onto the
// screen. This is how a control shows press feedback outside the window's own painting; the element's
// kMessageDraw arrives while its own handler is still running.
Status redraw_running_element();

// --- The protocol's buffers

// A text buffer (kMessageGetTitle, kMessageGetValue) holds its text followed by one NUL; an empty handle is an empty
// text. Appending keeps the NUL at the end.
Status text_buffer_append(MemoryHandle buffer, const char* text, size_t length);
Status text_buffer_append(MemoryHandle buffer, const char* text);
const char* text_buffer_text(MemoryHandle buffer);
size_t text_buffer_length(MemoryHandle buffer);
// kMessageCollectFocusable: the list of native controls that can take the keyboard focus.
Status focus_list_append(MemoryHandle list, HWND control);

// The class's record in the instance buffer: kCreate makes it (zero-filled), the other messages find it
// (none before kCreate succeeded). Records are plain data: they are never constructed or destroyed.
template <class Record>
Record* instance_create(MemoryHandle instance) {
  if (HandleSetSize(instance, sizeof(Record)) != kOk) return nullptr;
  BytesZero(HandleData(instance), sizeof(Record));
  return reinterpret_cast<Record*>(HandleData(instance));
}
template <class Record>
Record* instance_record(MemoryHandle instance) {
  return instance && HandleGetSize(instance) >= sizeof(Record) ? reinterpret_cast<Record*>(HandleData(instance))
                                                               : nullptr;
}
