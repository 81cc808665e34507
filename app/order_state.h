// What the running order program holds for its parts: the buyer's entries between pages and the page
// archive (the printed form takes its logo from there). Both exist from start-up to clean-up and are
// none outside that time.
#pragma once

#include "files/paths.h"
#include "runtime/value_table.h"

ValueTable* OrderFormTable();
PathSpec* OrderArchiveVolume();
