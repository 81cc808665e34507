// Pixel maps for tests: owned, filled and read back in one call; rectangles in failure messages.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "graphics/colour_match.h"
#include "graphics/colour_tables.h"
#include "graphics/pixmap.h"

inline void PrintTo(const Rect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

struct PixmapDeleter {
  void operator()(Pixmap* pixmap) const { PixmapDispose(pixmap); }
};
using UniquePixmap = std::unique_ptr<Pixmap, PixmapDeleter>;

inline UniquePixmap NewMap(int32_t width, int32_t height, uint32_t format, const ColourTable* table = nullptr) {
  return UniquePixmap(PixmapNew(Rect{0, 0, width, height}, format, table));
}

inline int32_t WidthOf(const Pixmap* p) { return p->bounds.right - p->bounds.left; }
inline int32_t HeightOf(const Pixmap* p) { return p->bounds.bottom - p->bounds.top; }

// Fills a direct map with colour(x, y) or an indexed one with index(x, y).
template <class F>
void Fill(Pixmap* map, F value) {
  const int32_t width = WidthOf(map), height = HeightOf(map);
  for (int32_t y = 0; y < height; ++y) {
    if (map->kind == 1) {
      std::vector<uint8_t> row(static_cast<size_t>(width));
      for (int32_t x = 0; x < width; ++x) row[size_t(x)] = uint8_t(value(x, y));
      PixmapSetIndexRow(map, nullptr, y, row.data());
    } else {
      std::vector<Colour> row(static_cast<size_t>(width));
      for (int32_t x = 0; x < width; ++x) row[size_t(x)] = ArgbToColour(uint32_t(value(x, y)));
      PixmapSetColourRow(map, nullptr, y, row.data());
    }
  }
}

inline uint32_t ArgbAt(Pixmap* map, int32_t x, int32_t y) {
  Colour c{};
  PixmapGetPixelColour(map, nullptr, x, y, &c);
  return ColourToArgb(c);
}

inline uint8_t IndexAt(Pixmap* map, int32_t x, int32_t y) {
  return map->baseAddress[size_t(y) * map->rowBytes + size_t(x)];
}
