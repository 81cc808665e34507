// What the program shows until it has pages on screen: the entries of its mounted page archive, one line
// each, on standard output (a program started from a shell inherits it) or, without one, in the
// debugger's log.
#pragma once

#include "files/volumes.h"

Status ListPageArchive(Volume* volume);
