#include "graphics/graphics_init.h"

#include "graphics/colour_tables.h"
#include "runtime/platform.h"

namespace {

bool gStarted = false;

// The tables stay: they are built once per process and only read.
void GraphicsRelease() { gStarted = false; }

}  // namespace

Status GraphicsInit() {
  if (gStarted) return kOk;
  Status status = PlatformStart();
  if (status != kOk) return status;
  SystemColourTable();
  GreyColourTable();
  status = PlatformAtExit(GraphicsRelease);
  if (status != kOk) return status;
  gStarted = true;
  return kOk;
}

bool GraphicsIsStarted() { return gStarted; }
