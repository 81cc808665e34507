// The page program: what the order program does when the interface reports an event.
#pragma once

#include "interface/interface.h"

// For now every event is accepted as it comes; the ordering walk's rules hang here.
Status OrderPageEvent(InterfaceWindow* window, void* userData, int32_t event, const char* pageName,
                      int32_t elementIndex, const char* elementName);
