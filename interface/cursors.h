// The cursors the engine sets, and the hand it builds when the system has none.
#pragma once

#include <windows.h>

// The 32 x 32 pointing hand with its hot spot at (13, 5), built from the engine's own masks; made once
// and kept until release_cursors. None when it cannot be made.
HCURSOR built_hand_cursor();
// Destroys the built hand and forgets the cursor set last.
void release_cursors();
