// The interface engine's public operations: starting the engine, interface windows (a native window
// showing one IML interface), navigation between pages, the element access operations through which
// the page program reads and writes the fields of a page, and the message pre-translation that the
// program's message loop calls. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "files/paths.h"
#include "interface/element_class.h"
#include "interface/page_directory.h"
#include "runtime/status.h"
#include "runtime/value_table.h"

// The page program's callback: the window the event is about (a FRAME's nested window for events of
// the framed page), its user data, the event code (InterfaceEvent), the name of the page concerned
// (empty for a page without NAME; none only when no page is shown, and for events 0 and 1), the index
// of the element concerned among the current page's elements (-1 for none) and its NAME (none when it
// has none). Answers 0, -8404 to veto, or an error that aborts the operation under way and is
// returned to its caller.
using InterfaceCallback = Status (*)(InterfaceWindow* window, void* userData, int32_t event, const char* pageName,
                                     int32_t elementIndex, const char* elementName);

// Starts the platform, file and graphics layers, registers the native window classes and the built-in
// element classes, and registers the engine's idle routine and its stop with the platform. -8400 when
// a window class cannot be registered. Does nothing when the engine runs already.
Status start_interface_engine();
// Closes every open interface window and releases what the engine holds.
void stop_interface_engine();
bool interface_engine_started();
// The tags of the process-wide element classes, for tools that report what the engine can show.
size_t process_element_class_count();
const char* process_element_class_tag(size_t index);

// Opens a top-level interface window on the file `file` of the page source `folder` (a path record of
// the file layer: the root of a mounted page archive, or a folder on disk; it must outlive the
// window). With a title or a close box the window has a caption and a system menu, else a plain
// border. Without a placement (the client area's rectangle on the screen) the window is sized to the
// interface's rectangle and centred on the desktop. With `show` the first page is drawn and the window
// shown. Events go to `callback` with `userData`. On failure nothing is left open and *window is none.
Status open_interface(const char* title, bool closeBox, bool show, const Rect* placement, PathSpec* folder,
                      const char* file, const char* interfaceName, const char* pageName, InterfaceCallback callback,
                      void* userData, InterfaceWindow** window);
// Leaves the page (event 6, its answer ignored), sends event 1, tears everything down and frees the
// window; for a top-level window the native window goes too. A window that is not open is ignored.
void close_interface(InterfaceWindow* window);
bool is_interface_open(const InterfaceWindow* window);
// The native window (a FRAME's nested window has its top-level window's); none for a closed window.
HWND native_window_of(const InterfaceWindow* window);
// The window whose page holds the FRAME that shows this one; none for a top-level window.
InterfaceWindow* interface_parent(const InterfaceWindow* window);

// For every message before TranslateMessage and DispatchMessage; true when the engine has acted on
// the message and it must be neither translated nor dispatched.
bool pretranslate_message(const MSG* message);

// Loads the file into the window (leaving and tearing down what it showed) and shows the named page,
// or the first page when none is named; a name that matches no page leaves the window empty. With
// neither folder nor file the window stays empty. A folder named as the file means its index.iml.
// -8401 no INTERFACE or no PAGE, -8405 a folder without index.iml, -8406 a page file in a Unicode
// form that cannot be read; errors of the file layer pass through. A veto of the page program (-8404
// to leaving the page) keeps the page and answers 0.
Status load_interface(InterfaceWindow* window, PathSpec* folder, const char* file, const char* interfaceName,
                      const char* pageName);
// Loads the file into a top-level window as if the window were opened on it anew: the pictures are read
// again, the first page is shown and the window takes the size of the file's interface where it
// stands. On failure the window is left empty with the error of load_interface; -7002 for a nested or
// closed window. A veto of the page program keeps the page and answers 0.
Status reload_interface(InterfaceWindow* window, PathSpec* folder, const char* file, const char* interfaceName);
// Shows the page (none: an empty window) after leaving the current one; no file is read.
Status show_page(InterfaceWindow* window, const PageRecord* page);
Status go_to_page(InterfaceWindow* window, const char* pageName);
const PageDirectory* page_directory(const InterfaceWindow* window);
// The page shown, none when the window is empty.
const PageRecord* current_page(const InterfaceWindow* window);

// Activates the element: event 9, then its SCRIPT (QUIT closes the top-level window, BEEP beeps) or
// its link - `link` when given and not empty, else its HREF. Web and mail links go to open_url; others
// name a page ("#page"), a file ("other.iml") or both ("other.iml#page") loaded into the element's
// window.
Status follow_link(InterfaceWindow* window, Element* element, const char* link);
// Percent-escapes the text and asks the shell to open it; a failure beeps.
Status open_url(const char* text);
// A system cursor id (32512 and up) or a cursor of the program's resources; 0 is the arrow.
Status set_cursor(int32_t id);
// A WAVE resource of the program, played without waiting; -7005 when it cannot be played.
Status play_sound(const char* name);

// The window's own variables (see interface/variables.h): set_variable(window_variables(w), ...).
ValueTable** window_variables(InterfaceWindow* window);

// Element access by index among the current page's elements, counted from 0: -7001 for a negative
// index, -7005 when there is no such element. Each sends one message to the element's class.
int32_t find_element(InterfaceWindow* window, const char* name);  // NAME, letter case ignored; -1 if none
int32_t count_elements(InterfaceWindow* window);
Status element_title(InterfaceWindow* window, int32_t index, char* buffer, size_t size);
Status element_value(InterfaceWindow* window, int32_t index, MemoryHandle buffer);  // appends
Status element_value(InterfaceWindow* window, int32_t index, char* buffer, size_t size);
bool element_visible(InterfaceWindow* window, int32_t index);
bool element_enabled(InterfaceWindow* window, int32_t index);
Status element_rectangle(InterfaceWindow* window, int32_t index, Rect* rect);
Status set_element_rectangle(InterfaceWindow* window, int32_t index, const Rect& rect);
Status set_element_state(InterfaceWindow* window, int32_t index, int32_t state);
Status set_element_title(InterfaceWindow* window, int32_t index, const char* title);
Status set_element_value(InterfaceWindow* window, int32_t index, const char* value);
Status set_element_value(InterfaceWindow* window, int32_t index, int32_t value);
Status show_element(InterfaceWindow* window, int32_t index, bool show);
Status element_instance(InterfaceWindow* window, int32_t index, intptr_t* instance);
MarkupNode* element_node(InterfaceWindow* window, int32_t index);
// Gives the element the keyboard focus; the element losing it may keep it (-8404), and an element that
// cannot take it answers -7002.
Status focus_element(InterfaceWindow* window, int32_t index);
