// The graphics layer's plain data: standard colour tables, rectangle limits and worlds.
#include <gtest/gtest.h>

#include "graphics/colour_tables.h"
#include "graphics/rect_limit.h"
#include "graphics/world.h"

namespace {

Colour Opaque(uint8_t red, uint8_t green, uint8_t blue) { return Colour{255, red, green, blue}; }

TEST(ColourTables, SystemTableIsTheCubeThenFourRampsThenBlackAndGreyRunsUp) {
  const ColourTable& system = SystemColourTable();
  EXPECT_EQ(system.count, 256u);
  const std::pair<int, Colour> samples[] = {
      {0, Opaque(255, 255, 255)}, {1, Opaque(255, 255, 204)}, {6, Opaque(255, 204, 255)},
      {36, Opaque(204, 255, 255)}, {214, Opaque(0, 0, 51)},    {215, Opaque(238, 0, 0)},
      {234, Opaque(0, 17, 0)},    {235, Opaque(0, 0, 238)},    {254, Opaque(17, 17, 17)},
      {255, Opaque(0, 0, 0)}};
  for (const auto& [index, colour] : samples) EXPECT_EQ(system.entries[index], colour) << index;
  // Every colour once: the ramps hold only levels the cube lacks, and the cube's black is left out.
  for (int i = 0; i < 256; ++i)
    for (int j = i + 1; j < 256; ++j) ASSERT_NE(system.entries[i], system.entries[j]) << i << " and " << j;

  const ColourTable& grey = GreyColourTable();
  EXPECT_EQ(grey.count, 256u);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(grey.entries[i], Opaque(i, i, i)) << i;
}

TEST(RectLimit, SpansBeyond32000AreCut) {
  const std::pair<Rect, Rect> cases[] = {
      {{0, 0, 100000, 10}, {0, 0, 32000, 10}},              // left end near zero: kept
      {{-7999, 0, 100000, 10}, {-7999, 0, 24001, 10}},
      {{-100000, 0, 7999, 10}, {-24001, 0, 7999, 10}},      // else the right end near zero
      {{-50000, 0, 8000, 10}, {-37000, 0, -5000, 10}},      // neither: recentred on its middle
      {{20000, 0, 120000, 10}, {54000, 0, 86000, 10}},
      {{-120001, 0, -20000, 10}, {-86000, 0, -54000, 10}},  // the middle rounds toward zero
      {{5, 20000, 6, 120000}, {5, 54000, 6, 86000}},        // the vertical span alike
      {{-8000, 0, 24000, 10}, {-8000, 0, 24000, 10}},       // 32000 exactly is allowed
      {kWholePlane, {-16000, -16000, 16000, 16000}},
      {{10, 10, -100000, -100000}, {10, 10, -100000, -100000}},  // inverted: nothing to cut
  };
  for (const auto& [in, out] : cases) {
    const Rect limited = RectLimitSpans(in);
    EXPECT_EQ(limited, out) << in.left << "," << in.top << "," << in.right << "," << in.bottom << " gave "
                            << limited.left << "," << limited.top << "," << limited.right << "," << limited.bottom;
  }
}

struct Record {
  GraphicsLinks links;
  int32_t data[9];
};

TEST(GraphicsWorld, RecordsReachOneAnother) {
  GraphicsWorld* world = WorldNew(sizeof(Record), sizeof(Record));
  ASSERT_NE(world, nullptr);
  auto* port = reinterpret_cast<Record*>(world->links.port);
  auto* map = static_cast<Record*>(world->record);
  ASSERT_EQ(static_cast<void*>(world->links.pixmap), map);
  for (const GraphicsLinks* links : {&world->links, LinksOf(port), LinksOf(map)}) {
    EXPECT_EQ(links->world, world);
    EXPECT_EQ(static_cast<void*>(links->port), port);
    EXPECT_EQ(static_cast<void*>(links->pixmap), map);
  }
  EXPECT_GE(reinterpret_cast<uint8_t*>(map), reinterpret_cast<uint8_t*>(port + 1));  // apart and aligned
  EXPECT_EQ(reinterpret_cast<uintptr_t>(map) % kWorldRecordAlignment, 0u);
  WorldDispose(world);

  // A port with a record of another kind: nothing takes that record for a pixel map.
  world = WorldNew(sizeof(Record), sizeof(Record), WorldRecord::kOther);
  ASSERT_NE(world, nullptr);
  EXPECT_EQ(LinksOf(world->links.port)->pixmap, nullptr);
  EXPECT_EQ(LinksOf(world->record)->pixmap, nullptr);
  EXPECT_EQ(LinksOf(world->record)->world, world);
  WorldDispose(world);
}

}  // namespace
