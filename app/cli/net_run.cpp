// Built with the Qt sockets of direct play or of the club.
#if defined(TRILANE_DIRECT_PLAY) || defined(TRILANE_CLUB_PLAY)

#include "net_run.h"

#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "cli.h"
#include "words/words.h"

namespace trilane::cli {

namespace {

// How long a finished game waits for its last bytes to leave before the command exits.
constexpr int kClosingMs = 2000;

}  // namespace

int RunEventLoop() {
  return QCoreApplication::exec();
}

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string OneLine(const TableText& text) {
  std::string line = ComposeText(text, [](int entry) { return Word(entry); });
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

std::string SqueezedLine(const TableText& text) {
  std::string squeezed;
  for (char c : OneLine(text)) {
    if (!(c == ' ' && !squeezed.empty() && squeezed.back() == ' ')) squeezed += c;
  }
  return squeezed;
}

void PrintRound(bool json, const RoundFlow& flow, int ownSeat) {
  std::array<int32_t, 4> bySeat{};
  for (int s = 1; s <= 4; ++s) bySeat[s - 1] = flow.RoundTotals()[PositionOf(ownSeat, s) - 1];
  const int32_t round = flow.Counters().matchGames;
  if (json) {
    Json j;
    j.BeginObject().Key("round").Int(round).Key("totals").IntArray(bySeat).EndObject();
    return PrintLine(j.Text());
  }
  std::string line = "round " + std::to_string(round) + " totals";
  for (int32_t t : bySeat) line += " " + SignedNumber(t);
  PrintLine(line);
}

void RunEnd::Fail(const std::string& line) {
  if (done_) return;
  done_ = true;
  std::fprintf(stderr, "trilane-cli %s: %s\n", command_.c_str(), line.c_str());
  QCoreApplication::exit(1);
}

void RunEnd::Finish(std::function<bool()> busy) {
  if (done_) return;
  done_ = true;
  const auto started = std::chrono::steady_clock::now();
  auto* poll = new QTimer(QCoreApplication::instance());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, busy, started] {
    const auto waited = std::chrono::steady_clock::now() - started;
    if (!busy() || waited > std::chrono::milliseconds(kClosingMs)) {
      poll->stop();
      QCoreApplication::exit(0);
    }
  });
  poll->start(5);
}

}  // namespace trilane::cli

#endif
