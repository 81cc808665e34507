#include "graphics/rect_limit.h"

namespace {

constexpr int32_t kNearZero = 8000;

void LimitSpan(int32_t* low, int32_t* high) {
  // In 64 bits: the whole plane's span does not fit in 32.
  const int64_t from = *low;
  const int64_t to = *high;
  if (to - from <= kSpanLimit) return;
  if (from > -kNearZero && from < kNearZero) {
    *high = *low + kSpanLimit;
  } else if (to > -kNearZero && to < kNearZero) {
    *low = *high - kSpanLimit;
  } else {
    *low = static_cast<int32_t>((from + to) / 2 - kSpanLimit / 2);
    *high = *low + kSpanLimit;
  }
}

}  // namespace

Rect RectLimitSpans(const Rect& rect) {
  Rect limited = rect;
  LimitSpan(&limited.left, &limited.right);
  LimitSpan(&limited.top, &limited.bottom);
  return limited;
}
