// A TCP endpoint whose received bytes are cut into records (lines) by a framing mode, each record
// handed to the owner as one buffer in its record queue with kEventReceived.
#pragma once

#include "net/endpoint.h"
#include "net/record_cutter.h"

// The endpoint calls (connect, send, close, dispose) apply to the endpoint this returns. Record
// buffers and received buffers both come from receivePool; a record longer than a buffer is cut to
// the buffer's capacity. splitter (with its context) is needed only for modes other than the built-in
// ones. None when memory or a thread cannot be had, or the mode is not usable.
Endpoint* LineStreamCreate(uint16_t family, void* owner, EndpointHandler handler, int32_t framingMode,
                           RecordSplitter splitter, void* splitterContext, ItemQueue* sentPool,
                           ItemQueue* receivePool, ItemQueue* recordQueue);
