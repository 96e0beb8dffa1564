#pragma once
// A view and a clock for timeline tests that write down what the timeline did: flights,
// landings, pauses begun and idles as lines of a log; calms, pauses called off and plays
// asked for as counts.
#include <functional>
#include <string>
#include <vector>

#include "table/view_timeline.h"

namespace trilane::test {

struct TimelineLog {
  ViewTimeline::Player Player() {
    ViewTimeline::Player player;
    player.fly = [this](const CardFlight& f) {
      lines.push_back("fly " + std::to_string(f.from.slot));
      return glide;  // a gliding card lands when the test says so
    };
    player.land = [this] { lines.push_back("land"); };
    player.calm = [this] { ++calms; };
    player.idle = [this] { lines.push_back("idle"); };
    return player;
  }
  ViewTimeline::Clock Clock() {
    ViewTimeline::Clock clock;
    clock.wait = [this](int ms) { lines.push_back("wait " + std::to_string(ms)); };
    clock.stopWaiting = [this] { ++stops; };
    clock.schedule = [this] { ++schedules; };
    return clock;
  }
  std::function<void()> Note(std::string text) {
    return [this, text] { lines.push_back(text); };
  }
  static CardFlight Flight(int slot) {
    CardFlight f;
    f.from.slot = slot;
    return f;
  }
  // The lines without the idles.
  std::vector<std::string> Played() const {
    std::vector<std::string> steps;
    for (const std::string& line : lines)
      if (line != "idle") steps.push_back(line);
    return steps;
  }

  std::vector<std::string> lines;
  int calms = 0;
  int stops = 0;
  int schedules = 0;
  bool glide = true;
};

}  // namespace trilane::test
