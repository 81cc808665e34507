// How many GDI objects the process holds, up to a constant, so that tests can show that nothing is left
// behind. GetGuiResources counts them where the system keeps the count; Wine answers 0 there, so then
// the free room of the process's GDI handle table is measured instead - brushes are made until the
// system refuses one - and the negated room, which rises by one for every object held, is the level.
#pragma once

#include <windows.h>

#include <vector>

inline long GdiObjectLevel() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return static_cast<long>(counted);
  std::vector<HBRUSH> made;
  for (;;) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    if (!brush) break;
    made.push_back(brush);
  }
  for (HBRUSH brush : made) DeleteObject(brush);
  return -static_cast<long>(made.size());
}
