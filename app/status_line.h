// The line with which a program ends on standard output: "<program> status <code>". A program started
// from a shell shows only the low byte of a negative exit code; this line carries the whole code.
#pragma once

#include "runtime/status.h"

// Nothing when the program has no standard output.
void WriteStatusLine(const char* program, Status status);
