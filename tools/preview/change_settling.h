// When to reload after a change to the page folder. Saves come in bursts: an editor writes a file in
// pieces, or writes a temporary file and renames it over the old one, and the folder may even lack the
// file for a moment. The reload waits until the folder has been quiet for a short while, but never
// longer than a limit after the first change of the burst. Times in milliseconds. Pure.
#pragma once

#include <cstdint>

class ChangeSettling {
 public:
  ChangeSettling(int64_t quietMs, int64_t longestMs) : quiet_(quietMs), longest_(longestMs) {}

  void Changed(int64_t now) {
    if (!pending_) first_ = now;
    last_ = now;
    pending_ = true;
  }
  bool Pending() const { return pending_; }
  // How long to wait before the reload is due: 0 when it is due now, -1 when nothing is pending.
  int64_t Remaining(int64_t now) const {
    if (!pending_) return -1;
    const int64_t quietEnd = last_ + quiet_, latest = first_ + longest_;
    const int64_t due = quietEnd < latest ? quietEnd : latest;
    return due > now ? due - now : 0;
  }
  bool Due(int64_t now) const { return Remaining(now) == 0; }
  void Clear() { pending_ = false; }

 private:
  int64_t quiet_, longest_;
  int64_t first_ = 0, last_ = 0;
  bool pending_ = false;
};
