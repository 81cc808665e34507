#include "app/page_events.h"

Status OrderPageEvent(InterfaceWindow*, void*, int32_t, const char*, int32_t, const char*) { return kOk; }
