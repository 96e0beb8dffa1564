// The account in the running program, against the real club service on 127.0.0.1: the
// user file signs the account in at start-up, the menu shows it (indicator and line 5), the
// line starts a rated match through the account window, the pre-charge and the booking
// change the account's figures, and a pre-charge the service cannot store starts nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "../web/club_service_process.h"
#include "program/command_line.h"
#include "program/rated_match.h"
#include "records/club_file.h"
#include "records/history_file.h"
#include "shell/account/account_program.h"
#include "shell/end_game_window.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/title_screen.h"
#include "shell/widgets/qor_button.h"
#include "table/round_flow.h"
#include "table_test_app.h"
#include "web/curl_transport.h"
#include "web/user_file.h"
#include "words/words.h"

namespace trilane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The real transport, except that while `refuseSaves` is set every store of an account's
// results fails as a lost connection would: the pre-charge's sends, and nothing else.
class SavesRefused : public web::HttpTransport {
 public:
  explicit SavesRefused(bool& refuse) : refuse_(refuse) {}
  web::HttpReply Post(const web::HttpRequest& request) override {
    if (refuse_ && request.body.find(std::string(web::kGameLabel) + "kon=") != std::string::npos)
      return {false, 0, {}, "refused by the test"};
    return real_.Post(request);
  }
  web::HttpReply Get(const web::HttpRequest& request) override { return real_.Get(request); }
  web::HttpReply UploadFtp(const web::FtpAccount& account, const std::string& fileName,
                           std::string_view bytes, std::chrono::milliseconds timeout) override {
    return real_.UploadFtp(account, fileName, bytes, timeout);
  }

 private:
  bool& refuse_;
  web::CurlTransport real_;
};

class AccountProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TableTestApp();
    SetLanguageIndex(kEnglish);
    ASSERT_TRUE(fs::exists(web::testing::kServiceProgram)) << "no club service built";
    service_ = std::make_unique<web::testing::ClubService>();
    ASSERT_FALSE(service_->Url().empty()) << "the service did not start";
    web::SetServiceOverride(service_->Url() + "/directory.txt");
    addresses_ = web::ChooseAddresses(transport_, nullptr, 5000ms);
    web::SetServiceOverride(std::nullopt);
    // The program's folder lies inside the test's own folder, whose root takes the user
    // file as the folder shared by sibling games.
    ASSERT_TRUE(root_.isValid());
    game_ = fs::path(root_.path().toStdString()) / "Trilane";
    fs::create_directories(game_);
    ASSERT_FALSE(SaveClubFile(game_ / kClubFileName, NewClubFile(false)).has_value());
    ASSERT_FALSE(SaveClubFile(game_ / kNetClubFileName, NewClubFile(true)).has_value());
    // Windows answer themselves: message boxes with their default, the account window as
    // the test's script says.
    SetModalAutoClose(-1);
    SetModalShownHook([this](QWidget& shown) {
      if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
        messages_.push_back(box->text());
        QAbstractButton* no = box->button(QMessageBox::No);
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        (no ? no : ok)->click();
        return;
      }
      windows_.push_back(shown.objectName());
      if (shown.objectName() == "FormEndGame") {
        if (auto* bonus = shown.findChild<QLabel*>("LabelBonus")) bonusText_ = bonus->text();
      }
      if (shown.objectName() == "FAcc1" && onAccount_) onAccount_(shown);
      if (auto* dialog = qobject_cast<QDialog*>(&shown)) dialog->accept();
    });
  }
  void TearDown() override { SetModalShownHook({}); }

  void CreateAccount(const std::string& nick, const std::string& password) {
    web::WebClient client(transport_, addresses_);
    web::TQorUser user = web::ResetUser(nick, password);
    user.City = "Riga";
    user.Country1 = "Latvia";
    user.Country2 = "1-026";
    user.Sex = 'W';
    user.EMail = "mira@example.lv";
    user.R01 = user.R02 = user.R03 = "xxx";
    ASSERT_EQ(client.WebRegisterUser(user), web::RegisterResult::kCreated);
  }

  // The program as the game composes it, at its main menu.
  std::unique_ptr<MainWindow> StartAtMenu(CommandLine commandLine = {}) {
    auto window = std::make_unique<MainWindow>(commandLine, QString::fromStdString(game_.string()));
    program_ = &OfferAccounts(*window, std::make_unique<SavesRefused>(refuseSaves_), addresses_);
    window->show();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->Initialised() || window->StartFailed(); }, 10000));
    QTest::keyClick(window->Title(), Qt::Key_Space);
    EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
    return window;
  }

  std::unique_ptr<web::testing::ClubService> service_;
  web::CurlTransport transport_;
  web::ServiceAddresses addresses_;
  QTemporaryDir root_;
  fs::path game_;
  AccountProgram* program_ = nullptr;
  bool refuseSaves_ = false;
  std::vector<QString> messages_;
  std::vector<QString> windows_;
  QString bonusText_;
  std::function<void(QWidget&)> onAccount_;
};

TEST_F(AccountProgramTest, SignedInAtStartAndARatedMatchFromTheMenu) {
  // The stored password's "#" is sent as "-" at start-up (the service's forms cut at "#").
  CreateAccount("Mirb", "mira-1");
  ASSERT_FALSE(web::WriteUserFile(game_.parent_path() / web::kUserFileName, {"Mirb", "mira#1"}));

  auto window = StartAtMenu();
  AccountInUse& account = program_->Account();
  ASSERT_EQ(account.State(), web::AccountState::kSignedIn);
  EXPECT_EQ(account.User().Nick, "Mirb");
  EXPECT_TRUE(account.UserFileSaved());
  auto* indicator = window->findChild<QLabel*>("ImAc");
  ASSERT_NE(indicator, nullptr);
  EXPECT_TRUE(indicator->isVisible());
  EXPECT_EQ(indicator->property("state").toInt(), 2);
  EXPECT_EQ(indicator->toolTip(), "You are logged in to your account!");
  auto* lineFive = window->Menu()->MemberButton(5);
  EXPECT_TRUE(lineFive->text().startsWith("Mirb")) << lineFive->text().toStdString();

  // Line 5 opens the account window on the way to a rated match; ticking the box starts it.
  bool offered = false;
  onAccount_ = [&offered](QWidget& account) {
    auto* box = account.findChild<QCheckBox*>("CheckPlayRating");
    offered = box && box->isEnabled();
    if (box) box->setChecked(true);
  };
  lineFive->click();
  EXPECT_TRUE(offered);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Screen() == ScreenState::kTable; }, 10000));
  EXPECT_EQ(window->CurrentSlot(), 7);
  EXPECT_EQ(account.State(), web::AccountState::kRated);
  EXPECT_TRUE(account.RatedMatchRunning());

  // The match ends with +12: booked, written down, and the state back to 2.
  EndMatchRequest end;
  end.endMatch = true;
  end.score = 12;
  end.rounds = 4;
  window->EndMatch(end);
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
  EXPECT_EQ(account.State(), web::AccountState::kSignedIn);
  EXPECT_FALSE(account.RatedMatchRunning());
  EXPECT_NEAR(account.Game().Rating, 3.05, 1e-9);
  EXPECT_EQ(account.Game().Kon, 4);
  EXPECT_EQ(account.Game().KonL, 4);
  EXPECT_EQ(account.Game().Score, 12);
  EXPECT_TRUE(messages_.empty()) << messages_.front().toStdString();
  EXPECT_EQ(indicator->property("state").toInt(), 2);
  EXPECT_TRUE(window->Menu()->MemberButton(5)->text().endsWith("12"));
  // The history line is the account's, with its rating.
  std::optional<HistoryRecord> line;
  for (const auto& entry : fs::directory_iterator(game_ / kHistoryFolderName)) {
    std::ifstream in(entry.path(), std::ios::binary);
    for (std::string text; std::getline(in, text);) {
      if (!text.empty() && text.back() == '\r') text.pop_back();
      if (text.find("Mirb") != std::string::npos) line = ReadHistoryRecord(text);
    }
  }
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->kind, kAccountMatch);
  EXPECT_EQ(line->result, 12);
  EXPECT_NEAR(line->rating, 3.05, 0.005);
}

TEST_F(AccountProgramTest, APreChargeThatCannotBeStoredStartsNoMatch) {
  CreateAccount("Olga", "olga12");
  ASSERT_FALSE(web::WriteUserFile(game_.parent_path() / web::kUserFileName, {"Olga", "olga12"}));
  auto window = StartAtMenu();
  ASSERT_EQ(program_->Account().State(), web::AccountState::kSignedIn);
  onAccount_ = [this](QWidget& account) {
    account.findChild<QCheckBox*>("CheckPlayRating")->setChecked(true);
    refuseSaves_ = true;  // the results read, every send of the pre-charge lost
  };
  QElapsedTimer clock;
  clock.start();
  window->Menu()->MemberButton(5)->click();
  // The repeats wait 2 and 3 seconds on a timer: the window keeps working meanwhile, and
  // its menu takes no clicks.
  EXPECT_TRUE(program_->PreCharging());
  EXPECT_FALSE(window->Menu()->isEnabled());
  EXPECT_LT(clock.elapsed(), 2000);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !program_->PreCharging(); }, 15000));
  EXPECT_GE(clock.elapsed(), 5000);
  EXPECT_GE(ticks, 30);  // the event loop ran all along
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.back(), "Could not connect to server!");
  EXPECT_EQ(program_->Account().State(), web::AccountState::kNone);
  EXPECT_TRUE(window->Menu()->isEnabled());
  EXPECT_EQ(window->findChild<QLabel*>("ImAc")->property("state").toInt(), 1);
}

// A booking the service cannot store asks "Repeat?"; a player who gives up keeps the
// pre-charge on the service (the match stands as a loss of 40, the cycle emptied), and the
// account leaves the rated state all the same.
TEST_F(AccountProgramTest, ABookingGivenUpLeavesThePreCharge) {
  CreateAccount("Rita", "rita12");
  ASSERT_FALSE(web::WriteUserFile(game_.parent_path() / web::kUserFileName, {"Rita", "rita12"}));
  auto window = StartAtMenu();
  AccountInUse& account = program_->Account();
  onAccount_ = [](QWidget& account) {
    account.findChild<QCheckBox*>("CheckPlayRating")->setChecked(true);
  };
  window->Menu()->MemberButton(5)->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Screen() == ScreenState::kTable; }, 10000));
  refuseSaves_ = true;
  EndMatchRequest end;
  end.endMatch = true;
  end.score = 30;
  end.rounds = 4;
  window->EndMatch(end);  // the responder answers "Repeat?" with No
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.front(), "Could not connect to server!\nRepeat?");
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
  EXPECT_EQ(account.State(), web::AccountState::kSignedIn);
  EXPECT_FALSE(account.RatedMatchRunning());
  refuseSaves_ = false;
  web::WebClient client(transport_, addresses_);
  const auto held = client.WebReadBest("Rita", "rita12");
  ASSERT_TRUE(held.ok);
  EXPECT_EQ(held.value.Kon, 4);
  EXPECT_NEAR(held.value.Rating, -9.95, 1e-9);
  EXPECT_EQ(held.value.KonL, 0);
}

// The twentieth match of a cycle: the booking completes it, the cycle goes into the account
// table, the first place pays its bonus of 25 Qors and the end-of-cycle window shows it.
TEST_F(AccountProgramTest, ACompletedCycleEntersTheAccountTableWithItsBonus) {
  CreateAccount("Inna", "inna12");
  {
    // Nineteen rated matches of 16 points already played in this cycle.
    web::WebClient client(transport_, addresses_);
    AccountInUse earlier(client);
    ASSERT_TRUE(earlier.SignIn("Inna", "inna12"));
    for (int match = 0; match < 19; ++match) {
      earlier.SetPlayForRating(true);
      PreCharge preCharge(earlier);
      ASSERT_EQ(preCharge.Advance().kind, PreChargeStep::Kind::kStarted);
      RatedBooking booking(earlier, 16);
      ASSERT_TRUE(booking.Attempt().stored);
      earlier.SetRatedMatchRunning(false);
    }
    ASSERT_EQ(earlier.Game().KonL, 76);
    ASSERT_EQ(earlier.Game().Score, 304);
  }
  ASSERT_FALSE(web::WriteUserFile(game_.parent_path() / web::kUserFileName, {"Inna", "inna12"}));
  auto window = StartAtMenu();
  AccountInUse& account = program_->Account();
  ASSERT_EQ(account.State(), web::AccountState::kSignedIn);
  onAccount_ = [](QWidget& account) {
    account.findChild<QCheckBox*>("CheckPlayRating")->setChecked(true);
  };
  window->Menu()->MemberButton(5)->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Screen() == ScreenState::kTable; }, 10000));
  EndMatchRequest end;
  end.endMatch = true;
  end.score = 20;
  end.rounds = 4;
  window->EndMatch(end);
  EXPECT_TRUE(messages_.empty()) << messages_.front().toStdString();
  // The cycle is closed: a new one starts empty and the best cycle score is kept.
  EXPECT_EQ(account.Game().Sessions, 1);
  EXPECT_EQ(account.Game().KonL, 0);
  EXPECT_EQ(account.Game().Score, 0);
  EXPECT_EQ(account.Game().Best, 324);
  EXPECT_EQ(account.User().R04, 25);
  EXPECT_NE(std::find(windows_.begin(), windows_.end(), "FormEndGame"), windows_.end());
  EXPECT_EQ(bonusText_, "You get 25 Qors!!!");
  EXPECT_EQ(account.State(), web::AccountState::kSignedIn);
}

// The indicator and the account's line 5 in the smallest and the largest window, in English,
// Russian and Chinese: in the window, clear of the menu's buttons and caption. With
// TRILANE_ACCOUNT_SHOTS naming a folder each menu is saved there for a person to look at.
TEST_F(AccountProgramTest, MenuShowsTheAccountInEachSizeAndLanguage) {
  CreateAccount("Zoya", "zoya12");
  ASSERT_FALSE(web::WriteUserFile(game_.parent_path() / web::kUserFileName, {"Zoya", "zoya12"}));
  const QString shots = qEnvironmentVariable("TRILANE_ACCOUNT_SHOTS");
  for (int size : {1, 5}) {
    for (int language : {kEnglish, kRussian, kChinese}) {
      SCOPED_TRACE(std::to_string(size) + " " + std::to_string(language));
      CommandLine commandLine;
      commandLine.windowSize = size;
      commandLine.language = language;
      auto window = StartAtMenu(commandLine);
      auto* indicator = window->findChild<QLabel*>("ImAc");
      auto* star = window->findChild<QLabel*>("ImAcStar");
      ASSERT_NE(indicator, nullptr);
      ASSERT_NE(star, nullptr);
      const QRect icon = indicator->geometry().united(star->geometry());
      EXPECT_TRUE(window->rect().contains(icon));
      for (QWidget* other : window->Menu()->findChildren<QWidget*>()) {
        if (other == indicator || other == star || !other->isVisible() ||
            other->parentWidget() != window->Menu() || other->objectName().isEmpty())
          continue;
        EXPECT_FALSE(icon.intersects(other->geometry())) << other->objectName().toStdString();
      }
      EXPECT_TRUE(window->Menu()->MemberButton(5)->text().startsWith("Zoya"));
      if (!shots.isEmpty())
        window->grab().save(
            QString("%1/menu-size%2-lang%3.png").arg(shots).arg(size).arg(language));
      window->CloseWithoutAsking();
    }
  }
  SetLanguageIndex(kEnglish);
}

// The end-of-cycle window after a cycle entered into the account table: the rank line of a
// first place, the world place beyond the ten, and the Qors bonus when there is one.
TEST(AccountCycleWindow, ShowsTheAccountsPlaceAndBonus) {
  test::TableTestApp();
  SetLanguageIndex(kEnglish);
  struct Case {
    int place;
    int64_t bonus;
    const char* third;   // the third line
    const char* result;  // the figures line
    const char* bonusText;
  };
  const Case cases[] = {
      {1, 25, "You become the Vice-President of the order!", "Result: 310 ; Place: 1",
       "You get 25 Qors!!!"},
      {4, 10, "You are in the top ten!", "Result: 310 ; Place: 4", "You get 10 Qors!!!"},
      {11, 0, nullptr, "Result: 310 ; Place: 11", nullptr},
      {2, -1, nullptr, "Result: 310 ; Place: 2", nullptr},  // the bonus could not be paid
  };
  TSettings settings;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.place);
    EndOfCycle cycle;
    cycle.place = c.place;
    cycle.cycleScore = 310;
    cycle.account = true;
    cycle.bonus = c.bonus;
    EndGameWindow window(settings, cycle, nullptr);
    auto* first = window.findChild<QLabel*>("Label1");
    ASSERT_NE(first, nullptr);
    if (c.place > 10) {
      EXPECT_EQ(first->text(), "Our regrets...");
    }
    if (c.third) {
      EXPECT_EQ(window.findChild<QLabel*>("Label3")->text(), c.third);
    }
    EXPECT_EQ(window.findChild<QLabel*>("LabelResult")->text(), c.result);
    auto* bonus = window.findChild<QLabel*>("LabelBonus");
    EXPECT_EQ(bonus != nullptr, c.bonusText != nullptr);
    if (bonus && c.bonusText) {
      EXPECT_EQ(bonus->text(), c.bonusText);
    }
  }
}

}  // namespace
}  // namespace trilane
