#include "program/command_line.h"

#include <charconv>

#include "records/settings.h"

namespace trilane {
namespace {

std::optional<int64_t> Number(const std::string& text) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::string CommandLineUsage() {
  return "usage: trilane [--size 1..5|full] [--lang 0..9] [--demo] [--demo-rounds N] "
         "[--seed S] [--speed 1..6] [--screenshot-dir DIR] [--measure] [--idle-seconds N]\n";
}

std::string CommandLineHelp() {
  return CommandLineUsage() +
         "\n"
         "The card game of thirteen cards in three rows: its title screen, menu and table in\n"
         "one window.\n"
         "\n"
         "Options:\n"
         "  --size 1..5|full     window size for this run (full is size 2)\n"
         "  --lang 0..9          language for this run\n"
         "  --demo               the computer plays the own seat too; the buttons press\n"
         "                       themselves\n"
         "  --demo-rounds N      with --demo: leave the table after N rounds, end the match\n"
         "                       and close\n"
         "  --seed S             the shuffle's seed, for repeatable demos\n"
         "  --speed 1..6         card flight speed for this run\n"
         "  --screenshot-dir D   save a picture of the window at each screen and stage into D\n"
         "  --measure            print timings for the benchmark: the title screen's first\n"
         "                       paint, and with --demo the flight frames and the memory at\n"
         "                       the end; without --demo the program closes once the title\n"
         "                       screen is shown\n"
         "  --idle-seconds N     with --measure: rest N seconds on the title screen and N on\n"
         "                       the menu, print the processor time and the painted area of\n"
         "                       each, and close\n"
         "  -h, --help           print this help and exit\n"
         "  --version            print the version and exit\n"
         "\n"
         "Files:\n"
         "  The settings (Trilane.ini), the club files (Trilane.clb, Trilane.net), the\n"
         "  folders History and GIFGame lie in the program's folder when it may be written\n"
         "  (a program run from where it was built). An installed program keeps them in\n"
         "  $XDG_DATA_HOME/Trilane (~/.local/share/Trilane), which it makes with the installed\n"
         "  club files on its first start; the files shared by the maker's games lie in the\n"
         "  folder above it. Add-on libraries are looked for in that folder, the one above\n"
         "  it and the installed data folder.\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) {
        out.error = a + " needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--demo") {
      out.demo = true;
    } else if (a == "--size") {
      if (!value(v)) return out;
      if (v == "full") {
        out.windowSize = 2;
      } else if (auto n = Number(v); n && *n >= 1 && *n <= 5) {
        out.windowSize = static_cast<int>(*n);
      } else {
        out.error = "--size takes 1..5 or full, not '" + v + "'";
        return out;
      }
    } else if (a == "--lang") {
      if (!value(v)) return out;
      auto n = Number(v);
      if (!n || *n < 0 || *n > 9) {
        out.error = "--lang takes 0..9, not '" + v + "'";
        return out;
      }
      out.language = static_cast<int>(*n);
    } else if (a == "--demo-rounds") {
      if (!value(v)) return out;
      auto n = Number(v);
      if (!n || *n < 1 || *n > 100000) {
        out.error = "--demo-rounds takes a number of rounds from 1, not '" + v + "'";
        return out;
      }
      out.demoRounds = static_cast<int>(*n);
      out.demo = true;
    } else if (a == "--seed") {
      if (!value(v)) return out;
      auto n = Number(v);
      if (!n || *n < 0 || *n > 0xFFFFFFFFLL) {
        out.error = "--seed takes a number 0..4294967295, not '" + v + "'";
        return out;
      }
      out.seed = static_cast<uint32_t>(*n);
    } else if (a == "--measure") {
      out.measure = true;
    } else if (a == "--idle-seconds") {
      if (!value(v)) return out;
      auto n = Number(v);
      if (!n || *n < 1 || *n > 600) {
        out.error = "--idle-seconds takes 1..600, not '" + v + "'";
        return out;
      }
      out.idleSeconds = static_cast<int>(*n);
    } else if (a == "--speed") {
      if (!value(v)) return out;
      auto n = Number(v);
      if (!n || *n < 1 || *n > 6) {
        out.error = "--speed takes 1..6, not '" + v + "'";
        return out;
      }
      out.flightSpeed = static_cast<int>(*n);
    } else if (a == "--screenshot-dir") {
      if (!value(v)) return out;
      out.screenshotDir = v;
    } else {
      out.error = "unknown option '" + a + "'";
      return out;
    }
  }
  return out;
}

RunChoices::RunChoices(const CommandLine& commandLine, const TSettings& file, const TSettings& run)
    : windowSize_{commandLine.windowSize.has_value(), file.WindowSize, run.WindowSize},
      language_{commandLine.language.has_value(), file.LanguageIndex, run.LanguageIndex},
      flightSpeed_{commandLine.flightSpeed.has_value(), file.FlightSpeed, run.FlightSpeed} {}

void RunChoices::Follow(const TSettings& current) {
  const auto follow = [](Choice& choice, int now) {
    if (now != choice.runValue) choice.fromCommandLine = false;
  };
  follow(windowSize_, current.WindowSize);
  follow(language_, current.LanguageIndex);
  follow(flightSpeed_, current.FlightSpeed);
}

TSettings RunChoices::ToStore(const TSettings& current) const {
  TSettings stored = current;
  if (windowSize_.fromCommandLine && current.WindowSize == windowSize_.runValue) {
    stored.WindowSize = windowSize_.fileValue;
  }
  if (language_.fromCommandLine && current.LanguageIndex == language_.runValue) {
    stored.LanguageIndex = language_.fileValue;
  }
  if (flightSpeed_.fromCommandLine && current.FlightSpeed == flightSpeed_.runValue) {
    stored.FlightSpeed = flightSpeed_.fileValue;
  }
  return stored;
}

}  // namespace trilane
