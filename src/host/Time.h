#pragma once

// Time in ticks.
using TimeValue = int;
constexpr int TIME_TICKSPERSEC = 4800;

struct Interval {
  TimeValue start = 0, end = 0;
  constexpr Interval() = default;
  constexpr Interval(TimeValue s, TimeValue e) : start(s), end(e) {}
  TimeValue Start() const { return start; }
  TimeValue End() const { return end; }
};

constexpr Interval FOREVER{-0x7fffffff, 0x7fffffff};
