// The graphics layer's plain data: standard colour tables, rectangle limits and worlds.
#include <gtest/gtest.h>

#include "graphics/rect_limit.h"
#include "graphics/world.h"
#include "tests/graphics/pixmap_test_support.h"

namespace {

TEST(ColourTables, SystemTableIsTheCubeThenFourRampsThenBlackAndGreyRunsUp) {
  const ColourTable& system = SystemColourTable();
  EXPECT_EQ(system.count, 256u);
  const std::pair<int, uint32_t> samples[] = {
      {0, 0xFFFFFFFF},   {1, 0xFFFFFFCC},   {6, 0xFFFFCCFF},   {36, 0xFFCCFFFF},  {214, 0xFF000033},
      {215, 0xFFEE0000}, {234, 0xFF001100}, {235, 0xFF0000EE}, {254, 0xFF111111}, {255, 0xFF000000}};
  for (const auto& [index, argb] : samples) EXPECT_EQ(ColourToArgb(system.entries[index]), argb) << index;
  // Every colour once: the ramps hold only levels the cube lacks, and the cube's black is left out.
  for (int i = 0; i < 256; ++i)
    for (int j = i + 1; j < 256; ++j) ASSERT_NE(system.entries[i], system.entries[j]) << i << " and " << j;

  const ColourTable& grey = GreyColourTable();
  EXPECT_EQ(grey.count, 256u);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(ColourToArgb(grey.entries[i]), 0xFF000000u | i * 0x010101u) << i;
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
  for (const auto& [in, out] : cases) EXPECT_EQ(RectLimitSpans(in), out) << testing::PrintToString(in);
}

// Every record reaches the others; one of another kind (a print job) is nothing's pixel map. A port of
// an odd size still leaves the next record apart and aligned.
TEST(GraphicsWorld, RecordsReachOneAnother) {
  constexpr size_t kPortSize = sizeof(GraphicsLinks) + 1;
  for (WorldRecord kind : {WorldRecord::kPixmap, WorldRecord::kOther}) {
    GraphicsWorld* world = WorldNew(kPortSize, sizeof(GraphicsLinks), kind);
    ASSERT_NE(world, nullptr);
    const void* map = kind == WorldRecord::kPixmap ? world->record : nullptr;
    for (const GraphicsLinks* links : {&world->links, LinksOf(world->links.port), LinksOf(world->record)})
      EXPECT_TRUE(links->world == world && links->port == world->links.port && links->pixmap == map);
    EXPECT_GE(static_cast<uint8_t*>(world->record), reinterpret_cast<uint8_t*>(world->links.port) + kPortSize);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(world->record) % kWorldRecordAlignment, 0u);
    WorldDispose(world);
  }
}

}  // namespace
