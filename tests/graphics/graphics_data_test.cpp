// The graphics layer's plain data: standard colour tables, rectangle limits and worlds.
#include <gtest/gtest.h>

#include "graphics/colour_tables.h"
#include "graphics/rect_limit.h"
#include "graphics/world.h"

namespace {

Colour Opaque(uint8_t red, uint8_t green, uint8_t blue) { return Colour{255, red, green, blue}; }

TEST(ColourTables, SystemTableIsTheCubeThenFourRampsThenBlack) {
  const ColourTable& table = SystemColourTable();
  EXPECT_EQ(table.count, 256u);
  EXPECT_EQ(table.entries[0], Opaque(255, 255, 255));
  EXPECT_EQ(table.entries[1], Opaque(255, 255, 204));  // blue innermost
  EXPECT_EQ(table.entries[6], Opaque(255, 204, 255));
  EXPECT_EQ(table.entries[36], Opaque(204, 255, 255));  // red outermost
  EXPECT_EQ(table.entries[180], Opaque(0, 255, 255));
  EXPECT_EQ(table.entries[214], Opaque(0, 0, 51));      // the cube's black is left out
  EXPECT_EQ(table.entries[215], Opaque(238, 0, 0));
  EXPECT_EQ(table.entries[224], Opaque(17, 0, 0));
  EXPECT_EQ(table.entries[225], Opaque(0, 238, 0));
  EXPECT_EQ(table.entries[235], Opaque(0, 0, 238));
  EXPECT_EQ(table.entries[245], Opaque(238, 238, 238));
  EXPECT_EQ(table.entries[254], Opaque(17, 17, 17));
  EXPECT_EQ(table.entries[255], Opaque(0, 0, 0));
  // Every colour appears once: the ramps hold only levels the cube lacks.
  for (int i = 0; i < 256; ++i)
    for (int j = i + 1; j < 256; ++j) ASSERT_NE(table.entries[i], table.entries[j]) << i << " and " << j;
}

TEST(ColourTables, GreyTableRunsFromBlackToWhite) {
  const ColourTable& table = GreyColourTable();
  EXPECT_EQ(table.count, 256u);
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<uint8_t>(i);
    ASSERT_EQ(table.entries[i], Opaque(level, level, level)) << i;
  }
  EXPECT_EQ(&GreyColourTable(), &table);  // one table per process
}

TEST(RectLimit, SpansBeyond32000AreCut) {
  struct Case {
    Rect in;
    Rect out;
  };
  const Case cases[] = {
      {{0, 0, 100000, 10}, {0, 0, 32000, 10}},                  // left near zero: kept
      {{-7999, 0, 100000, 10}, {-7999, 0, 24001, 10}},
      {{-100000, 0, 7999, 10}, {-24001, 0, 7999, 10}},          // else the right end near zero
      {{-8000, 0, 8000, 10}, {-8000, 0, 8000, 10}},             // short enough: untouched
      {{-50000, 0, 8000, 10}, {-37000, 0, -5000, 10}},          // 8000 is outside the band too
      {{20000, 0, 120000, 10}, {54000, 0, 86000, 10}},          // neither: recentred on its middle
      {{-120001, 0, -20000, 10}, {-86000, 0, -54000, 10}},      // the middle rounds toward zero
      {{0, 0, 32000, 0}, {0, 0, 32000, 0}},                     // exactly 32000 is allowed
      {{5, 20000, 6, 120000}, {5, 54000, 6, 86000}},            // the vertical span alike
      {kWholePlane, {-16000, -16000, 16000, 16000}},            // the whole plane: (-1) / 2 is 0
      {{10, 10, -100000, -100000}, {10, 10, -100000, -100000}}, // inverted: no span to cut
  };
  for (const Case& c : cases) {
    const Rect limited = RectLimitSpans(c.in);
    EXPECT_EQ(limited, c.out) << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom
                              << " gave " << limited.left << "," << limited.top << "," << limited.right << ","
                              << limited.bottom;
  }
}

struct RecordWithLinks {
  GraphicsLinks links;
  int32_t data[9];
};

TEST(GraphicsWorld, RecordsReachOneAnother) {
  GraphicsWorld* both = WorldNew(sizeof(RecordWithLinks), sizeof(RecordWithLinks));
  ASSERT_NE(both, nullptr);
  auto* port = reinterpret_cast<RecordWithLinks*>(both->links.port);
  auto* map = static_cast<RecordWithLinks*>(both->record);
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(static_cast<void*>(both->links.pixmap), map);
  EXPECT_EQ(both->recordSize, sizeof(RecordWithLinks));
  for (const GraphicsLinks* links : {&both->links, LinksOf(port), LinksOf(map)}) {
    EXPECT_EQ(links->world, both);
    EXPECT_EQ(static_cast<void*>(links->port), port);
    EXPECT_EQ(static_cast<void*>(links->pixmap), map);
  }
  // Separate, aligned and zero-filled.
  EXPECT_GE(reinterpret_cast<uint8_t*>(map), reinterpret_cast<uint8_t*>(port + 1));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(map) % kWorldRecordAlignment, 0u);
  for (int32_t value : port->data) EXPECT_EQ(value, 0);
  for (int32_t value : map->data) EXPECT_EQ(value, 0);
  WorldDispose(both);

  GraphicsWorld* mapOnly = WorldNew(0, sizeof(RecordWithLinks));
  ASSERT_NE(mapOnly, nullptr);
  EXPECT_EQ(mapOnly->links.port, nullptr);
  EXPECT_EQ(LinksOf(mapOnly->record)->port, nullptr);
  EXPECT_EQ(static_cast<void*>(LinksOf(mapOnly->record)->pixmap), mapOnly->record);
  WorldDispose(mapOnly);

  // A port with a record of another kind: nobody takes that record for a pixel map.
  GraphicsWorld* job = WorldNew(sizeof(RecordWithLinks), sizeof(RecordWithLinks), WorldRecord::kOther);
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job->links.pixmap, nullptr);
  EXPECT_EQ(LinksOf(job->links.port)->pixmap, nullptr);
  EXPECT_EQ(LinksOf(job->record)->world, job);
  WorldDispose(job);

  GraphicsWorld* portOnly = WorldNew(sizeof(RecordWithLinks), 0);
  ASSERT_NE(portOnly, nullptr);
  EXPECT_EQ(portOnly->record, nullptr);
  EXPECT_EQ(LinksOf(portOnly->links.port)->world, portOnly);
  WorldDispose(portOnly);
}

}  // namespace
