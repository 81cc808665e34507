// The graphics layer's start-up.
#pragma once

#include "runtime/status.h"

// Starts the platform first, builds the standard colour tables and registers the layer's release
// routine with the platform. Does nothing and succeeds when the layer already runs.
Status GraphicsInit();
bool GraphicsIsStarted();
