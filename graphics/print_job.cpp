#include "graphics/print_job.h"

#include "graphics/port_objects.h"
#include "runtime/common_dialogs.h"

namespace {

// The record after a job's port in its world.
struct PrintJob {
  GraphicsLinks links;
  HDC printer;
  Rect page;
  Status status;
  int32_t pageNumber;
  PRINTDLGA dialog;
  void* deviceMode;     // the chosen printer's device mode, locked while the job lives
  uint8_t documentStarted;
  uint8_t pageStarted;
  uint8_t portAttached;
  int32_t pageWidth;    // points
  int32_t pageHeight;
};

int32_t gOpenJobs = 0;

PrintJob* JobOf(GraphicsPort* port) {
  if (!port) return nullptr;
  GraphicsWorld* world = port->links.world;
  if (!world || !world->record || world->links.pixmap || world->recordSize != sizeof(PrintJob)) return nullptr;
  return static_cast<PrintJob*>(world->record);
}

// Printing needs no owner; a dialog owned by the program's active window stays in front of it.
Status ChoosePrinter(PrintJob* job) {
  PRINTDLGA& dialog = job->dialog;
  dialog.lStructSize = sizeof dialog;
  dialog.Flags = PD_RETURNDEFAULT;
  if (!CommonDialogPrint(&dialog)) return CommonDialogError() == 0 ? kErrCancelled : kErrPrintDialog;
  dialog.hwndOwner = GetActiveWindow();
  // One page is printed: neither page ranges nor a selection mean anything here.
  dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
  if (!CommonDialogPrint(&dialog)) return CommonDialogError() == 0 ? kErrCancelled : kErrPrintDialog;
  job->printer = dialog.hDC;
  return job->printer ? kOk : kErrPrintDialog;
}

Status StartPrinting(PrintJob* job) {
  if (SetAbortProc(job->printer, PrintAbortProc) <= 0) return GdiFailure(kErrGraphics);
  if (!job->dialog.hDevMode || !(job->deviceMode = GlobalLock(job->dialog.hDevMode))) return GdiFailure(kErrGraphics);
  DOCINFOA document = {};
  document.cbSize = sizeof document;
  document.lpszDocName = "";
  if (StartDocA(job->printer, &document) <= 0) return GdiFailure(kErrPrintStart);
  job->documentStarted = 1;
  if (StartPage(job->printer) <= 0) return GdiFailure(kErrPrintStart);
  job->pageStarted = 1;
  return kOk;
}

// One logical unit becomes one point: the printable area's size in millimetres, turned into points,
// maps onto its size in device pixels.
Status MapPoints(PrintJob* job) {
  HDC dc = job->printer;
  const int pixelsWide = GetDeviceCaps(dc, HORZRES), pixelsHigh = GetDeviceCaps(dc, VERTRES);
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  const int millimetresWide = GetDeviceCaps(dc, HORZSIZE), millimetresHigh = GetDeviceCaps(dc, VERTSIZE);
  if (pixelsWide <= 0 || pixelsHigh <= 0 || dpiX <= 0 || dpiY <= 0 || millimetresWide <= 0 || millimetresHigh <= 0)
    return GdiFailure(kErrGraphics);
  job->pageWidth = pixelsWide * 72 / dpiX;
  job->pageHeight = pixelsHigh * 72 / dpiY;
  if (!SetMapMode(dc, MM_ANISOTROPIC) ||
      !SetWindowExtEx(dc, millimetresWide * 720 / 254, millimetresHigh * 720 / 254, nullptr) ||
      !SetViewportExtEx(dc, pixelsWide, pixelsHigh, nullptr))
    return GdiFailure(kErrGraphics);
  job->page = Rect{0, 0, job->pageWidth, job->pageHeight};
  job->pageNumber = 1;
  return kOk;
}

Status OpenJob(PrintJob* job, GraphicsPort* port) {
  Status status = ChoosePrinter(job);
  if (status == kOk) status = StartPrinting(job);
  if (status == kOk) status = MapPoints(job);
  if (status == kOk && (status = PortAttach(port, job->printer, kNoWindow, false)) == kOk) job->portAttached = 1;
  return status;
}

}  // namespace

Status PrintJobOpen(GraphicsPort** port, PrintPageInfo* info) {
  *port = nullptr;
  // Messages dispatched while a job prints may reach code that would print again.
  if (gOpenJobs > 0) return kErrState;
  GraphicsWorld* world = WorldNew(sizeof(GraphicsPort), sizeof(PrintJob), WorldRecord::kOther);
  if (!world) return kErrMemory;
  ++gOpenJobs;
  auto* job = static_cast<PrintJob*>(world->record);
  if (const Status status = OpenJob(job, world->links.port); status != kOk) {
    job->status = status;
    PrintJobClose(world->links.port, false);
    return status;
  }
  if (info) *info = PrintPageInfo{job->page, job->status, job->pageNumber};
  *port = world->links.port;
  return kOk;
}

Status PrintJobClose(GraphicsPort* port, bool cancel) {
  PrintJob* job = JobOf(port);
  if (!job) return kErrState;
  if (cancel && job->status == kOk) job->status = kErrCancelled;
  if (job->portAttached) PortDetach(port);  // the layer's objects leave the context before it goes
  Status result = job->status;
  if (job->documentStarted) {
    if (job->status != kOk) {
      // A cancelled or failed job leaves nothing in the spooler.
      AbortDoc(job->printer);
    } else {
      // The page must end before the document, or it may never reach the printer.
      const bool pageEnded = !job->pageStarted || EndPage(job->printer) > 0;
      const bool documentEnded = EndDoc(job->printer) > 0;
      if (!pageEnded || !documentEnded) result = GdiFailure(kErrPrintStart);
    }
  }
  if (job->deviceMode) GlobalUnlock(job->dialog.hDevMode);
  if (job->printer) DeleteDC(job->printer);
  if (job->dialog.hDevMode) GlobalFree(job->dialog.hDevMode);
  if (job->dialog.hDevNames) GlobalFree(job->dialog.hDevNames);
  --gOpenJobs;
  WorldDispose(job->links.world);
  return result;
}

BOOL CALLBACK PrintAbortProc(HDC, int) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The quit belongs to the program's own loop: leave it waiting there.
      PostQuitMessage(int(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return TRUE;
}

int32_t PrintJobOpenCount() { return gOpenJobs; }
