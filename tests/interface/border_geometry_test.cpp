// Border geometry: the pixels an outline covers are worked out here by walking its polylines the way
// the system draws them (every pixel of each segment but the polyline's last point), and compared with
// pictures drawn by hand.
#include "interface/controls/border_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A small picture: '#' for a pixel a polyline covers, '.' for none.
class Picture {
 public:
  Picture(int width, int height) : width_(width), rows_(height, std::string(width, '.')) {}
  void Draw(const BorderPolyline& line) {
    for (size_t i = 0; i + 1 < line.count; ++i) {
      Point from = line.points[i], to = line.points[i + 1];
      ASSERT_TRUE(from.x == to.x || from.y == to.y) << "borders draw straight segments only";
      const int dx = (to.x > from.x) - (to.x < from.x), dy = (to.y > from.y) - (to.y < from.y);
      for (Point p = from; !(p == to); p = {p.x + dx, p.y + dy}) Set(p);
    }
  }
  void Set(Point p) {
    ASSERT_TRUE(p.x >= 0 && p.x < width_ && p.y >= 0 && p.y < int(rows_.size())) << p.x << "," << p.y;
    rows_[p.y][p.x] = '#';
  }
  std::vector<std::string> rows() const { return rows_; }

 private:
  int width_;
  std::vector<std::string> rows_;
};

std::vector<std::string> DrawFrame(int width, int height, const Rect& border, Opening opening, int notchWidth = 0,
                                   int notchHeight = 0) {
  Picture picture(width, height);
  FrameLines lines = frame_lines(border, opening, notchWidth, notchHeight);
  for (size_t i = 0; i < lines.count; ++i) picture.Draw(lines.pieces[i]);
  return picture.rows();
}

TEST(BorderLines, StylesAndColours) {
  EXPECT_EQ(border_line_style(nullptr), kLineSolid);
  EXPECT_EQ(border_line_style("none"), kLineNone);
  EXPECT_EQ(border_line_style("Dotted"), kLineDotted);
  EXPECT_EQ(border_line_style("DASHED"), kLineDotted);
  EXPECT_EQ(border_line_style("dashedly"), kLineSolid);
  EXPECT_EQ(border_line_style(""), kLineSolid);

  // Hand-computed: (v + 255) / 2; light v + 64 up to 160, else 255; dark v - 48 from 96, v / 2 from
  // 48, else 0.
  EXPECT_EQ(inactive_colour(Colour{255, 0, 128, 255}), (Colour{255, 127, 191, 255}));
  EXPECT_EQ(bevel_light(Colour{255, 160, 161, 0}), (Colour{255, 224, 255, 64}));
  EXPECT_EQ(bevel_dark(Colour{255, 96, 95, 47}), (Colour{255, 48, 47, 0}));
  EXPECT_EQ(bevel_dark(Colour{7, 48, 255, 0}), (Colour{7, 24, 207, 0}));
}

// Every character is 6 pixels wide, "..." 9.
int32_t FixedWidth(void*, const char*, int32_t length, bool ellipsis) { return length * 6 + (ellipsis ? 9 : 0); }

TEST(BorderTitle, ShortenedToTwoThirdsOfTheWidthWithAnEllipsis) {
  const TextMeasure measure{nullptr, FixedWidth};
  const char* title = "Payment method";  // 14 characters, 84 pixels
  FittedTitle whole = fit_title(title, 14, 126, measure);  // two thirds: 84, it fits exactly
  EXPECT_EQ(whole.length, 14);
  EXPECT_FALSE(whole.shortened);
  EXPECT_EQ(whole.width, 84);

  FittedTitle cut = fit_title(title, 14, 125, measure);  // 83: 12 characters and "..." make 81
  EXPECT_EQ(cut.length, 12);
  EXPECT_TRUE(cut.shortened);
  EXPECT_EQ(cut.width, 81);

  FittedTitle dots = fit_title(title, 14, 12, measure);  // 8: even "..." does not fit, and stays
  EXPECT_EQ(dots.length, 0);
  EXPECT_TRUE(dots.shortened);
}

TEST(BorderTitle, GapAndTextPlacedByAlignment) {
  const Rect border{100, 50, 300, 150};
  const TitleGap left = title_gap(border, -1, 40);
  EXPECT_EQ(left.left, 112);
  EXPECT_EQ(left.right, 156);
  EXPECT_EQ(left.textLeft, 114);
  const TitleGap right = title_gap(border, 1, 40);
  EXPECT_EQ(right.left, 244);
  EXPECT_EQ(right.right, 288);
  EXPECT_EQ(right.textLeft, 246);
  const TitleGap centre = title_gap(border, 0, 41);  // middle 200, text from 180 to 221
  EXPECT_EQ(centre.left, 178);
  EXPECT_EQ(centre.right, 223);
  EXPECT_EQ(centre.textLeft, 180);

  const Opening opening = edge_opening(border, &left);
  EXPECT_EQ(opening.left, 108);
  EXPECT_EQ(opening.right, 160);
  // Widened past a narrow border, the opening keeps the corners.
  const Rect narrow{0, 0, 24, 10};
  const TitleGap wide = title_gap(narrow, 0, 16);
  const Opening kept = edge_opening(narrow, &wide);
  EXPECT_EQ(kept.left, 1);
  EXPECT_EQ(kept.right, 23);
  EXPECT_EQ(edge_opening(narrow, nullptr).right, 0);
}

TEST(BorderFrame, OutlineWithAndWithoutAnOpening) {
  EXPECT_EQ(DrawFrame(7, 5, Rect{1, 1, 6, 4}, Opening{}), (std::vector<std::string>{
                                                               ".......",
                                                               ".#####.",
                                                               ".#...#.",
                                                               ".#####.",
                                                               ".......",
                                                           }));
  EXPECT_EQ(DrawFrame(9, 4, Rect{0, 0, 9, 4}, Opening{3, 6}), (std::vector<std::string>{
                                                                  "###...###",
                                                                  "#.......#",
                                                                  "#.......#",
                                                                  "#########",
                                                              }));
}

TEST(BorderFrame, ChippedCornerLeavesTheNotch) {
  EXPECT_EQ(DrawFrame(8, 6, Rect{0, 0, 8, 6}, Opening{}, 3, 2), (std::vector<std::string>{
                                                                   "########",
                                                                   "#......#",
                                                                   "#......#",
                                                                   "#...####",
                                                                   "#...#...",
                                                                   "#####...",
                                                               }));
  // A notch larger than the border is held to it.
  FrameLines lines = frame_lines(Rect{0, 0, 4, 4}, Opening{}, 50, 50);
  for (size_t i = 0; i < lines.pieces[0].count; ++i) {
    EXPECT_GE(lines.pieces[0].points[i].x, 0);
    EXPECT_GE(lines.pieces[0].points[i].y, 0);
  }
}

TEST(BorderFrame, ZeroWidthAndZeroHeightAreStraightLines) {
  // RECT "2, 1, 2, 5": one vertical line from the top down to, not including, the bottom.
  EXPECT_EQ(DrawFrame(4, 6, Rect{2, 1, 2, 5}, Opening{}), (std::vector<std::string>{
                                                              "....",
                                                              "..#.",
                                                              "..#.",
                                                              "..#.",
                                                              "..#.",
                                                              "....",
                                                          }));
  EXPECT_EQ(DrawFrame(8, 2, Rect{0, 1, 8, 1}, Opening{2, 5}), (std::vector<std::string>{
                                                                 "........",
                                                                 "##...###",
                                                             }));
  const Rect vertical{119, 10, 119, 390};
  FrameLines lines = frame_lines(vertical, Opening{}, 0, 0);
  ASSERT_EQ(lines.count, 1u);
  ASSERT_EQ(lines.pieces[0].count, 2u);
  EXPECT_EQ(lines.pieces[0].points[0], (Point{119, 10}));
  EXPECT_EQ(lines.pieces[0].points[1], (Point{119, 390}));
}

TEST(BorderBevel, RingsInsideTheFrameSplitByTheOpening) {
  const Rect border{0, 0, 9, 7};
  const Opening opening{3, 6};
  Picture topLeft(9, 7), bottomRight(9, 7);
  for (int ring = 1; ring <= 2; ++ring) {
    BevelRing bevel = bevel_ring(border, opening, ring);
    ASSERT_TRUE(bevel.fits);
    for (size_t i = 0; i < bevel.topLeftCount; ++i) topLeft.Draw(bevel.topLeft[i]);
    bottomRight.Draw(bevel.bottomRight);
  }
  EXPECT_EQ(topLeft.rows(), (std::vector<std::string>{
                                ".........",
                                ".##...##.",
                                ".##...#..",
                                ".##......",
                                ".#.......",
                                ".........",
                                ".........",
                            }));
  EXPECT_EQ(bottomRight.rows(), (std::vector<std::string>{
                                    ".........",
                                    ".........",
                                    ".......#.",
                                    "......##.",
                                    "..######.",
                                    ".#######.",
                                    ".........",
                                }));
  EXPECT_FALSE(bevel_ring(border, opening, 3).fits);  // 3 to 5 across, 3 to 3 down: no room
  EXPECT_FALSE(bevel_ring(border, opening, 0).fits);
}

}  // namespace
