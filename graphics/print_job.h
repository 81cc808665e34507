// Print jobs: a port that draws on one printed page. Opening a job asks the user for a printer with
// the standard print dialog (after a silent look for a default printer, so that a machine without one
// shows no dialog at all), starts a document and its page and sets the coordinates to points (1/72
// inch) with the origin at the top-left of the printable area. Closing ends the page and the document,
// or aborts the document when the job was cancelled or failed. While the printer driver works, the
// thread's window messages keep being dispatched. Interface thread only; one job at a time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/port.h"

struct PrintPageInfo {
  Rect page;           // 0, 0, printable width, printable height, in points
  Status status;       // 0, or the job's first failure
  int32_t pageNumber;  // 1 for the first page
};

// The port of a new job, drawing in points; the page information when asked. -7007 when the user
// cancels the dialog or no printer is chosen, -7350 when the dialog fails (no printer installed, for
// one), -7351 when the document or its page cannot be started, -7300 when the printer context cannot
// be set up, -7004 without memory, -7002 while another job is open. On failure no port is handed out.
Status PrintJobOpen(GraphicsPort** port, PrintPageInfo* info);

// Ends the job and frees its port. With `cancel` (or when the job already failed) a started document
// is aborted and nothing reaches the printer; otherwise the page and the document are ended. The
// result is the job's status (0 for a printed page, -7007 for a cancelled one, or its first failure),
// or -7351 when the printed page could not be handed to the printer. -7002 for a port that is no
// print job's.
Status PrintJobClose(GraphicsPort* port, bool cancel);

// The abort procedure of every job: dispatches the thread's waiting messages and lets printing go on.
BOOL CALLBACK PrintAbortProc(HDC printer, int error);

// How many jobs are open: from the moment a job asks for a printer until it is closed.
int32_t PrintJobOpenCount();
