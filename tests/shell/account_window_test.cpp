// The account window and the profile editor against the real club service on 127.0.0.1:
// an account created in the window fills every page, a rated match changes "My results",
// the user file signs it in again after a restart, every row says "No Connect" when the
// service is gone, and the photo check refuses anything but a 200 x 250 JPEG.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../web/club_service_process.h"
#include "program/account_in_use.h"
#include "program/menu_text.h"
#include "program/rated_match.h"
#include "records/club_file.h"
#include "records/settings.h"
#include "shell/account/account_window.h"
#include "shell/account/profile_editor.h"
#include "shell/account/profile_widgets.h"
#include "shell/modal.h"
#include "table_test_app.h"
#include "web/curl_transport.h"
#include "web/user_file.h"
#include "words/words.h"

namespace trilane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

template <typename T>
T* Child(QWidget& window, const QString& name) {
  auto* child = window.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name.toStdString();
  return child;
}

QString Text(QWidget& window, const QString& name) {
  auto* label = Child<QLabel>(window, name);
  return label ? label->text() : QString();
}

void Click(QWidget& window, const QString& name) {
  auto* button = Child<QAbstractButton>(window, name);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isEnabled()) << name.toStdString();
  QTest::mouseClick(button, Qt::LeftButton);
}

// A JPEG (or another format) of the given size, as bytes.
std::string Picture(int width, int height, const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(90, 140, 200));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

// The service, a client and an account on it, and a folder for the user file. Messages close
// by themselves and their texts are kept.
class AccountWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TableTestApp();
    SetLanguageIndex(kEnglish);
    ASSERT_TRUE(fs::exists(web::testing::kServiceProgram)) << "no club service built";
    service_ = std::make_unique<web::testing::ClubService>();
    ASSERT_FALSE(service_->Url().empty()) << "the service did not start";
    web::SetServiceOverride(service_->Url() + "/directory.txt");
    web::ServiceAddresses addresses = web::ChooseAddresses(transport_, nullptr, 5000ms);
    web::SetServiceOverride(std::nullopt);
    addresses.photoUpload.port = service_->FtpPort();
    client_ = std::make_unique<web::WebClient>(transport_, addresses);
    account_ = std::make_unique<AccountInUse>(*client_);
    ASSERT_TRUE(folder_.isValid());
    userFile_ = fs::path(folder_.path().toStdString()) / web::kUserFileName;
    // Message boxes are recorded and answered (No to a question); other windows accepted.
    SetModalAutoClose(-1);
    SetModalShownHook([this](QWidget& shown) {
      if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
        messages_.push_back(box->text());
        QAbstractButton* no = box->button(QMessageBox::No);
        (no ? no : box->button(QMessageBox::Ok))->click();
        return;
      }
      if (auto* dialog = qobject_cast<QDialog*>(&shown)) dialog->accept();
    });
  }
  void TearDown() override { SetModalShownHook({}); }

  AccountWindowServices Services(bool rated = false) {
    AccountWindowServices services;
    services.userFile = userFile_;
    services.offerRatedPlay = rated;
    services.openUrl = [this](const QString& url) {
      opened_.push_back(url);
      return true;
    };
    return services;
  }

  // Fills the "My account" page for a new account.
  void TypeNewAccount(AccountWindow& window, const char* nick, const char* password,
                      const char* city, const char* email) {
    Child<QLineEdit>(window, "EditNick")->setText(nick);
    Child<QLineEdit>(window, "EditPassword")->setText(password);
    Child<QLineEdit>(window, "EditCity")->setText(QString::fromUtf8(city));
    Child<QLineEdit>(window, "EditEMail")->setText(email);
  }

  std::unique_ptr<web::testing::ClubService> service_;
  web::CurlTransport transport_;
  std::unique_ptr<web::WebClient> client_;
  std::unique_ptr<AccountInUse> account_;
  QTemporaryDir folder_;
  fs::path userFile_;
  TSettings settings_;
  std::vector<QString> messages_;
  std::vector<QString> opened_;
};

TEST_F(AccountWindowTest, APlayersPathFromANewAccountToARestart) {
  {
    AccountWindow window(settings_, *account_, Services(), nullptr);
    EXPECT_EQ(window.size(), QSize(770, 680));
    EXPECT_EQ(window.Pages()->count(), 6);
    EXPECT_EQ(window.Pages()->currentIndex(), 0);
    // Without an account every result reads "No Connect"; the page offers a new account.
    EXPECT_EQ(Text(window, "ResultValue0"), "No Connect");
    EXPECT_EQ(Text(window, "LabelDate"), "00.00.0000");
    EXPECT_EQ(Child<QComboBox>(window, "ComboCountry")->currentData().toString(), "1-001");
    EXPECT_FALSE(Child<QAbstractButton>(window, "ButtonCreate")->isEnabled());

    // A nick with Cyrillic letters cannot make an account; the city may hold them.
    TypeNewAccount(window, "Вера", "pw1234", "Тверь", "vera@example.ru");
    EXPECT_EQ(Child<QLabel>(window, "LampNick")->property("rating").toInt(), 1);
    EXPECT_EQ(Child<QLabel>(window, "LampCity")->property("rating").toInt(), 2);
    EXPECT_FALSE(Child<QAbstractButton>(window, "ButtonCreate")->isEnabled());
    TypeNewAccount(window, "Vera", "pw1234", "Тверь", "vera@example.ru");
    Click(window, "ButtonCreate");
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "Your account has been successfully created!");
    EXPECT_EQ(account_->State(), web::AccountState::kSignedIn);
    EXPECT_EQ(Child<QAbstractButton>(window, "Button2")->text(), "Sign out");
    EXPECT_EQ(Child<QLabel>(window, "LampState")->property("rating").toInt(), 2);
    EXPECT_EQ(Text(window, "LabelMembers"), "Club members: 1");
    EXPECT_NE(Text(window, "LabelDate"), "00.00.0000");

    // Every page is filled from the new account.
    EXPECT_EQ(Text(window, "ResultValue0"), "Vera");
    EXPECT_EQ(Text(window, "ResultValue1"), "0,000");
    EXPECT_EQ(Text(window, "ResultValue3"), "0");
    EXPECT_EQ(Text(window, "LabelBalance"), "0 Qors");
    // The top ten holds accounts that have played for the rating: none yet, and so no
    // President either; an empty list is not a failed read.
    EXPECT_EQ(Text(window, "Top1_2"), "");
    EXPECT_EQ(Text(window, "LabelTopTenStatus"), "");
    EXPECT_EQ(Text(window, "LabelPresident3"), "");

    // The same nick again is refused by the club.
    Click(window, "Button2");
    EXPECT_EQ(account_->State(), web::AccountState::kNone);
    TypeNewAccount(window, "Vera", "other1", "Oslo", "v@example.no");
    Click(window, "ButtonCreate");
    EXPECT_EQ(messages_.back(), "The club already has a player with the same Nick!");
    EXPECT_EQ(Text(window, "LabelDate"), "00.00.0000");
    // A wrong password signs nobody in.
    Click(window, "Button2");
    EXPECT_EQ(messages_.back(), "Login failed!");
    EXPECT_EQ(account_->State(), web::AccountState::kNone);
    Child<QLineEdit>(window, "EditPassword")->setText("pw1234");
    Click(window, "Button2");
    ASSERT_EQ(account_->State(), web::AccountState::kSignedIn);

    // "Save" keeps the account in the user file; "Delete" is offered once it is there.
    EXPECT_FALSE(Child<QAbstractButton>(window, "ButtonDelete")->isEnabled());
    Click(window, "ButtonSave");
    EXPECT_TRUE(fs::exists(userFile_));
    EXPECT_FALSE(Child<QAbstractButton>(window, "ButtonSave")->isEnabled());
    EXPECT_TRUE(Child<QAbstractButton>(window, "ButtonDelete")->isEnabled());
    // "Refill" puts the payment's comment on the clipboard and opens the payment page.
    window.Pages()->setCurrentIndex(3);
    Click(window, "ButtonRefill");
    EXPECT_EQ(QApplication::clipboard()->text(), "Vera#Refill");
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_TRUE(opened_[0].startsWith("http://127.0.0.1:8094/")) << opened_[0].toStdString();
    EXPECT_TRUE(opened_[0].endsWith("100"));
    // "Play global rating" is not offered outside the way to a rated match.
    EXPECT_FALSE(Child<QCheckBox>(window, "CheckPlayRating")->isEnabled());
  }

  // The rated match from the menu: the window offers the box, the pre-charge goes through.
  {
    AccountWindow window(settings_, *account_, Services(true), nullptr);
    auto* box = Child<QCheckBox>(window, "CheckPlayRating");
    ASSERT_TRUE(box->isEnabled());
    box->setChecked(true);
    EXPECT_EQ(account_->State(), web::AccountState::kRated);
    EXPECT_EQ(Child<QLabel>(window, "LampState")->property("rating").toInt(), 3);
  }
  PreCharge preCharge(*account_);
  PreChargeStep step = preCharge.Advance();
  ASSERT_EQ(step.kind, PreChargeStep::Kind::kStarted);
  {
    // While the match runs, the account cannot be changed from the window.
    AccountWindow window(settings_, *account_, Services(true), nullptr);
    EXPECT_FALSE(Child<QAbstractButton>(window, "Button2")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(window, "CheckPlayRating")->isEnabled());
  }
  // A match of +12: from K = 0, R = 0 the pre-charge gives -9.95, the booking 3.05.
  RatedBooking booking(*account_, 12);
  ASSERT_TRUE(booking.Attempt().stored);
  account_->SetRatedMatchRunning(false);
  account_->SetState(web::AccountState::kSignedIn);
  {
    AccountWindow window(settings_, *account_, Services(), nullptr);
    window.Pages()->setCurrentIndex(1);
    Click(window, "ButtonRefreshResults");
    EXPECT_EQ(Text(window, "ResultValue1"), "3,050");
    EXPECT_EQ(Text(window, "ResultValue2"), "1");
    EXPECT_EQ(Text(window, "ResultValue3"), "4");
    EXPECT_EQ(Text(window, "ResultValue6"), "4");
    EXPECT_EQ(Text(window, "ResultValue7"), "12");
    EXPECT_EQ(Text(window, "Top1_2"), "Vera");
    EXPECT_EQ(Text(window, "Top1_5"), "3,050");
    EXPECT_EQ(Text(window, "LabelPresident3"), "Vera");
    EXPECT_EQ(Text(window, "LabelPresident4"), QString::fromUtf8("Тверь"));
  }

  // A restart: a new account signs in from the user file.
  AccountInUse restarted(*client_);
  ASSERT_TRUE(restarted.SignInAtStartup(userFile_));
  AccountWindow window(settings_, restarted, Services(), nullptr);
  EXPECT_EQ(Child<QLineEdit>(window, "EditNick")->text(), "Vera");
  EXPECT_EQ(Text(window, "ResultValue1"), "3,050");
  EXPECT_EQ(Child<QComboBox>(window, "ComboCountry")->currentData().toString(), "1-001");
  EXPECT_EQ(Child<QLineEdit>(window, "EditCity")->text(), QString::fromUtf8("Тверь"));
  Click(window, "ButtonDelete");
  EXPECT_FALSE(fs::exists(userFile_));
}

TEST_F(AccountWindowTest, EveryRowSaysNoConnectWhenTheServiceIsGone) {
  ASSERT_EQ(account_->Create({"Nadia", "pw1234", "Paris", "France", "1-015", 'W',
                              "nadia@example.fr", "01.02.2026"}),
            web::RegisterResult::kCreated);
  service_.reset();  // the service stops; the account stays signed in here
  AccountWindow window(settings_, *account_, Services(), nullptr);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(Text(window, QString("ResultValue%1").arg(i)), "No Connect");
  EXPECT_EQ(Text(window, "LabelTopTenStatus"), "No Connect");
  EXPECT_EQ(Text(window, "Top1_2"), "");
  EXPECT_EQ(Text(window, "LabelMembers"), "Club members: No Connect");
  EXPECT_EQ(Text(window, "LabelPresident3"), "No Connect");
  // A refresh that fails keeps the rows as they were.
  window.Pages()->setCurrentIndex(2);
  Click(window, "ButtonRefreshTopTen");
  EXPECT_EQ(Text(window, "LabelTopTenStatus"), "No Connect");
  // The transfer reads the balance first: more than there is sends nothing.
  window.Pages()->setCurrentIndex(3);
  Child<QSpinBox>(window, "SpinQorsAddUs")->setValue(5);
  Child<QLineEdit>(window, "EditQorsAddUs")->setText("Someone");
  Click(window, "ButtonTransfer");
  EXPECT_EQ(messages_.back(), "You do not have enough Qors to transfer!");
  Child<QSpinBox>(window, "SpinQorsAddUs")->setValue(0);
  Click(window, "ButtonTransfer");
  EXPECT_EQ(messages_.back(), "I can not make an empty transfer!");
}

TEST_F(AccountWindowTest, ProfileEditorChecksThePhotoAndSendsTheProfile) {
  ASSERT_EQ(account_->Create({"Pavel", "pw1234", "Omsk", "Russia", "1-001", 'M', "pavel@example.ru",
                              "01.02.2026"}),
            web::RegisterResult::kCreated);
  const std::string good = Picture(200, 250, "JPG");
  ASSERT_TRUE(IsAccountPhoto(good)) << "no JPEG writer in this Qt";
  struct Case {
    const char* what;
    std::string bytes;
    bool accepted;
  };
  const Case cases[] = {
      {"200 x 250 JPEG", good, true},
      {"250 x 200 JPEG", Picture(250, 200, "JPG"), false},
      {"200 x 250 PNG", Picture(200, 250, "PNG"), false},
      {"truncated JPEG", good.substr(0, good.size() / 3), false},
      {"empty file", std::string(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsAccountPhoto(c.bytes), c.accepted) << c.what;

  QString chosen;
  ProfileEditor editor(settings_, *account_, nullptr, [&chosen](QWidget*) { return chosen; });
  auto* updateInfo = Child<QAbstractButton>(editor, "ButtonOkI");
  auto* refreshPhoto = Child<QAbstractButton>(editor, "ButtonOKF");
  EXPECT_FALSE(updateInfo->isEnabled());
  EXPECT_FALSE(refreshPhoto->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(editor, "EditFaceBook")->maxLength(), 60);
  EXPECT_EQ(Child<QLineEdit>(editor, "EditTelephone")->maxLength(), 20);

  // A wrong photo is refused with the message and nothing is offered for upload.
  const QString folder = folder_.path();
  auto write = [&folder](const char* name, const std::string& bytes) {
    QFile file(folder + "/" + name);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return file.fileName();
  };
  chosen = write("wide.jpg", Picture(250, 200, "JPG"));
  editor.ChoosePhoto();
  EXPECT_EQ(messages_.back(), "The photo must be in jpg format 200x250 pixels in size!");
  EXPECT_FALSE(refreshPhoto->isEnabled());
  chosen = write("me.jpg", good);
  editor.ChoosePhoto();
  ASSERT_TRUE(refreshPhoto->isEnabled());
  // The upload runs through the service's FTP account, which starts beside the service.
  for (int attempt = 0; attempt < 50 && refreshPhoto->isEnabled(); ++attempt) {
    messages_.clear();
    editor.RefreshPhoto();
    if (refreshPhoto->isEnabled()) QTest::qWait(100);
  }
  EXPECT_FALSE(refreshPhoto->isEnabled());
  EXPECT_EQ(account_->OwnPhoto(), good);

  // Any change offers "Update info"; "$" and "~" reach the club as blanks.
  QTest::keyClicks(Child<QLineEdit>(editor, "EditAbout"), "cards$and~chess");
  ASSERT_TRUE(updateInfo->isEnabled());
  Child<QLineEdit>(editor, "EditSkype")->setText("pavel.cards");
  QTest::mouseClick(updateInfo, Qt::LeftButton);
  EXPECT_FALSE(updateInfo->isEnabled());
  EXPECT_EQ(account_->User().Info.About, "cards and chess");
  EXPECT_EQ(account_->User().Info.Skype, "pavel.cards");
  EXPECT_EQ(Child<QLineEdit>(editor, "EditAbout")->text(), "cards and chess");

  // "About me" and the President's page show the profile; the President's rows copy or open
  // what they show. A rated match makes the only account the first of the top ten.
  account_->SetPlayForRating(true);
  PreCharge preCharge(*account_);
  ASSERT_EQ(preCharge.Advance().kind, PreChargeStep::Kind::kStarted);
  RatedBooking booking(*account_, 4);
  ASSERT_TRUE(booking.Attempt().stored);
  account_->SetRatedMatchRunning(false);
  account_->SetState(web::AccountState::kSignedIn);
  QTest::keyClicks(Child<QLineEdit>(editor, "EditWebSite"), "example.ru/pavel");
  QTest::mouseClick(updateInfo, Qt::LeftButton);
  ASSERT_EQ(account_->User().Info.WebSite, "example.ru/pavel");
  AccountWindow window(settings_, *account_, Services(), nullptr);
  auto* own = window.findChild<ProfileRows*>("OwnProfile");
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->Fields(), (std::vector<ProfileField>{ProfileField::kAbout, ProfileField::kWebSite,
                                                      ProfileField::kSkype}));
  EXPECT_TRUE(Child<PhotoFrame>(window, "Image1")->ShowsPhoto());
  auto* skype = Child<QLabel>(window, QString("ProfileRow%1").arg(int(ProfileField::kSkype)));
  auto* presidentSkype =
      window.findChild<ProfileRows*>("PresidentProfile")
          ->findChild<QLabel*>(QString("ProfileRow%1").arg(int(ProfileField::kSkype)));
  ASSERT_NE(skype, nullptr);
  ASSERT_NE(presidentSkype, nullptr);
  QTest::mouseClick(presidentSkype, Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), "pavel.cards");
  EXPECT_EQ(messages_.back(), "Copied to clipboard!");
  EXPECT_TRUE(opened_.empty());
  auto* site = window.findChild<ProfileRows*>("PresidentProfile")
                   ->findChild<QLabel*>(QString("ProfileRow%1").arg(int(ProfileField::kWebSite)));
  ASSERT_NE(site, nullptr);
  QTest::mouseClick(site, Qt::LeftButton);
  EXPECT_EQ(opened_, std::vector<QString>{"https://example.ru/pavel"});
}

// Every caption of every page fits its place in English, Russian and Chinese: no label or
// button cuts its text. With TRILANE_ACCOUNT_SHOTS naming a folder, each page is also saved
// there as a picture for a person to look at.
TEST_F(AccountWindowTest, EveryPageFitsItsTextsInEachLanguage) {
  ASSERT_EQ(account_->Create({"Lena", "pw1234", "Tomsk", "Russia", "1-001", 'W', "lena@example.ru",
                              "01.02.2026"}),
            web::RegisterResult::kCreated);
  web::TInfo14 info;
  info.Name1 = "Lena";
  info.Name2 = "Sokolova";
  info.About = "Cards every evening";
  info.Telegram = "@lena_cards";
  info.WebSite = "example.ru/lena";
  ASSERT_TRUE(client_->WebSaveInfo("Lena", info));
  account_->RefreshProfile();
  // One rated match puts Lena into the top ten, as its President.
  account_->SetPlayForRating(true);
  PreCharge preCharge(*account_);
  ASSERT_EQ(preCharge.Advance().kind, PreChargeStep::Kind::kStarted);
  RatedBooking booking(*account_, 17);
  ASSERT_TRUE(booking.Attempt().stored);
  account_->SetRatedMatchRunning(false);
  account_->SetState(web::AccountState::kSignedIn);
  const QString shots = qEnvironmentVariable("TRILANE_ACCOUNT_SHOTS");
  for (int language : {kEnglish, kRussian, kChinese}) {
    SetLanguageIndex(language);
    for (bool purple : {false, true}) {
      SCOPED_TRACE(std::to_string(language) + (purple ? " purple" : " gray"));
      TSettings settings;
      settings.AuxPurple = purple;
      AccountWindow window(settings, *account_, Services(true), nullptr);
      window.show();
      for (int page = 0; page < window.Pages()->count(); ++page) {
        window.Pages()->setCurrentIndex(page);
        QApplication::processEvents();
        QWidget* shown = window.Pages()->currentWidget();
        for (QLabel* label : shown->findChildren<QLabel*>()) {
          if (!label->isVisible() || label->wordWrap() || label->text().isEmpty()) continue;
          EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
              << "page " << page << ": " << label->text().toStdString();
        }
        for (QAbstractButton* button : shown->findChildren<QAbstractButton*>()) {
          if (!button->isVisible() || qobject_cast<QCheckBox*>(button)) continue;
          EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
              << "page " << page << ": " << button->text().toStdString();
        }
        // The tab captions show in full.
        EXPECT_LE(window.Pages()->tabBar()->sizeHint().width(), window.Pages()->width());
        if (!shots.isEmpty()) {
          window.grab().save(QString("%1/acc-%2-%3-page%4.png")
                                 .arg(shots)
                                 .arg(language)
                                 .arg(purple ? "purple" : "gray")
                                 .arg(page + 1));
        }
      }
      if (!shots.isEmpty() && !purple) {
        ProfileEditor editor(settings, *account_, nullptr);
        editor.show();
        QApplication::processEvents();
        editor.grab().save(QString("%1/acc-%2-editor.png").arg(shots).arg(language));
      }
    }
  }
  SetLanguageIndex(kEnglish);
}

TEST(AccountMemberLine, ReadsLikeAClubMembersLine) {
  // Mode 1: name, games of the cycle, the cycle's score; mode 2: name, all games, rating.
  EXPECT_EQ(AccountMemberCaption("Vera", 3.05, 4, 4, 12, 1),
            "Vera                    "
            "  4"
            "    "
            "    12");
  EXPECT_EQ(AccountMemberCaption("Vera", -9.95, 76, 1204, -35, 2),
            "Vera                  "
            "   1204"
            "  "
            " -9,95");
  EXPECT_EQ(AccountMemberCaption("Vera", 3.05, 4, 4, 12, 2).size(),
            MemberCaption(std::string(kEmptyMemberLine), 2).size());
}

}  // namespace
}  // namespace trilane
