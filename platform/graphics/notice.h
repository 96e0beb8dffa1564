#pragma once
// How the picture and sound layer tells the player about a fallback. The window side
// implements the sink with the notice window; tests record the calls.

#include <string>

#include "words/word_entries.h"

namespace trilane {

// A notice line without a words entry (its tail alone).
inline constexpr int kNoWord = -1;

// One line of a notice: the words entry in the current language followed by `tail`
// (for example " QorCards06B.dll"); a line with no entry and no tail is empty.
struct NoticeLine {
  int word = kNoWord;
  std::string tail;
  friend bool operator==(const NoticeLine&, const NoticeLine&) = default;
};

class NoticeSink {
 public:
  virtual ~NoticeSink() = default;
  // The notice window: up to three lines, the third being a link opened with the shell.
  virtual void ShowNotice(const NoticeLine& line1, const NoticeLine& line2,
                          const NoticeLine& line3) = 0;
};

// For callers that have nowhere to show a notice (the command-line tool).
class SilentNotices : public NoticeSink {
 public:
  void ShowNotice(const NoticeLine&, const NoticeLine&, const NoticeLine&) override {}
};

}  // namespace trilane
