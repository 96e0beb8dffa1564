#include "shell/tourney/tourney_front.h"

#include <QTimer>

#include "base/codepage.h"
#include "platform/graphics/sounds.h"
#include "program/club_match_end.h"
#include "records/history_file.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/notice_window.h"
#include "shell/table/table_widget.h"
#include "shell/tourney/lobby_window.h"
#include "shell/tourney/turn_clocks.h"
#include "table/table_view.h"
#include "web/curl_transport.h"
#include "web/service_addresses.h"
#include "words/words.h"

namespace trilane::tourney {

TourneyFront::TourneyFront(TourneyContext context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {
  MainWindow& window = *context_.window;
  clocks_ = new TurnClocks(*window.Table(), window.Settings());
  ClubGameServices services;
  services.match = &window.Match();
  services.playSound = [&window](std::string_view name) {
    window.SoundEffects().PlaySoundRes(name, false, window.Settings().SoundOn);
  };
  services.showClock = [this](int position, int count) { clocks_->Show(position, count); };
  game_ = std::make_unique<ClubGame>(std::move(services));
  window.Table()->SetTurnClockHandler([this](int position, int seconds) {
    if (position == 0) {
      game_->ClocksStopped();
    } else {
      game_->ClockSet(position, seconds);
    }
  });
  connect(game_.get(), &ClubGame::dealt, this, &TourneyFront::GameDealt);
  connect(game_.get(), &ClubGame::stopped, this, &TourneyFront::GameStopped);
  connect(game_.get(), &ClubGame::booked, this, &TourneyFront::Booked);
}

TourneyFront::~TourneyFront() {
  if (context_.window != nullptr && context_.window->Table() != nullptr)
    context_.window->Table()->SetTurnClockHandler({});
  // The game's flow leaves the window's match before the game's controller goes.
  game_.reset();
}

void TourneyFront::OpenLobby() {
  MainWindow& window = *context_.window;
  window.SoundEffects().PlaySoundRes(SoundResourceName(TableSound::kOpenWindow), false,
                                     window.Settings().SoundOn);
  const std::optional<web::TQorUser> user =
      context_.signedIn ? context_.signedIn() : std::optional<web::TQorUser>();
  if (!user) {
    NoticeWindow notice(WordText(kWordLogInToAccount), QString(), QString(), &window);
    ExecModal(notice);
    return;
  }
  LobbyServices services;
  services.web = Web();
  services.user = *user;
  services.game = game_.get();
  services.playSound = [&window](std::string_view name) {
    window.SoundEffects().PlaySoundRes(name, false, window.Settings().SoundOn);
  };
  services.openTopTen = context_.openTopTen;
  LobbyWindow lobby(window.Settings(), std::move(services), &window);
  lobby_ = &lobby;
  QTimer::singleShot(0, this, [this] {
    if (lobby_ != nullptr) emit lobbyShown();
  });
  ExecModal(lobby);
  lobby_ = nullptr;
}

void TourneyFront::GameDealt() {
  // The lobby closes itself on the same signal; the table takes the game.
  onTable_ = true;
  MainWindow& window = *context_.window;
  window.ShowClubTable(std::make_unique<ClubMatchMode>(*this, window.MatchEndFor(kSlotClubGame)));
}

void TourneyFront::GameStopped(const QString& line, const QString& second) {
  if (!onTable_) return;
  NoticeWindow notice(line, second, QString(), context_.window);
  ExecModal(notice);
}

bool TourneyFront::FinishMatch(const EndMatchRequest& request, const LocalMatchEnd& match) {
  if (!onTable_ || !game_->ClubMode()) return false;
  pendingMatch_ = match;
  game_->EndGame(request);
  return true;
}

bool TourneyFront::Leave() {
  if (!onTable_) return false;
  onTable_ = false;
  game_->Leave();
  return true;
}

void TourneyFront::Booked(const EndMatchRequest& request) {
  if (!onTable_) return;
  onTable_ = false;
  MainWindow& window = *context_.window;
  ClubMatchEnd end;
  end.seatNames = game_->SeatNames();
  end.ownName = Utf8ToCp1251(game_->Start().name).value_or(pendingMatch_.name);
  end.games = request.rounds;
  end.tableScore = request.score;
  end.scoreBefore = game_->Start().initialScore;
  end.ratingBefore = game_->Start().initialRating;
  const ClubMatchWritten written = FinishClubMatch(Web(), game_->Seat(), end, pendingMatch_);
  const HistoryRecord& record = written.record;
  if (written.historyError) ShowError(&window, WordText(kWordCantSaveHistory));
  if (record.result > 0)
    window.SoundEffects().PlaySoundRes(SoundResourceName(TableSound::kMatchWon), false,
                                       window.Settings().SoundOn);
  if (record.result < 0)
    window.SoundEffects().PlaySoundRes(SoundResourceName(TableSound::kRoundLost), false,
                                       window.Settings().SoundOn);
  window.EndInterruptedGame();
  emit matchFinished();
  // After the game the lobby opens again.
  OpenLobby();
}

web::WebClient* TourneyFront::Web() {
  if (context_.web != nullptr) return context_.web;
  if (!ownWeb_) {
    auto transport = std::make_unique<web::CurlTransport>();
    const web::ServiceAddresses addresses = web::ChooseAddresses(
        *transport, &context_.window->Settings(), web::WebClient::kDefaultReadTimeout);
    ownWeb_ = std::make_unique<web::WebClient>(*transport, addresses);
    ownTransport_ = std::move(transport);
  }
  return ownWeb_.get();
}

ClubMatchMode::ClubMatchMode(TourneyFront& front, LocalMatchEnd match)
    : LocalMatchMode(std::move(match)), front_(front) {}

MatchEndStep ClubMatchMode::End(const EndMatchRequest& request, const CalendarTime& now) {
  LocalMatchEnd match = Match();
  match.score = request.score;
  match.rounds = request.rounds;
  match.now = now;
  if (front_.FinishMatch(request, match)) return MatchEndStep::Of(MatchEndStep::Kind::kHandedOver);
  return LocalMatchMode::End(request, now);
}

bool ClubMatchMode::Leave() {
  return front_.Leave() || LocalMatchMode::Leave();
}

std::unique_ptr<TourneyFront> OfferTourney(TourneyContext context) {
  MainWindow* window = context.window;
  auto front = std::make_unique<TourneyFront>(std::move(context));
  TourneyFront* f = front.get();
  window->SetClubPlay([f] { f->OpenLobby(); });
  return front;
}

}  // namespace trilane::tourney
