// Every live endpoint, for the network idle task. Internal to the net layer.
#pragma once

struct Endpoint;

void EndpointListAdd(Endpoint* endpoint);
void EndpointListRemove(Endpoint* endpoint);
// The idle task: ticks every endpoint that is not idle, and wakes the receiving thread of one that ran
// out of receive buffers once its pool has one again.
void NetworkIdle();
