// The options window: every control writes the settings record at once and says what it
// changed; the fallbacks of missing add-ons; the language switch; the add-on downloads; and
// the settings file written afterwards.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <thread>

#include "options_qt_app.h"
#include "records/settings.h"
#include "shell/modal.h"
#include "shell/options/options_window.h"
#include "shell/options/settings_saver.h"
#include "shell/table/speed_window.h"
#include "shell/widgets/qor_button.h"

namespace trilane {
namespace {

class RecordedNotices : public NoticeSink {
 public:
  void ShowNotice(const NoticeLine& line1, const NoticeLine& line2, const NoticeLine&) override {
    first.push_back(line1);
    second.push_back(line2);
  }
  std::vector<NoticeLine> first, second;
};

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class OptionsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WindowTestApp();
    SetLanguageIndex(0);
    ASSERT_TRUE(temp_.isValid());
    program_ = temp_.filePath("program");
    QDir().mkpath(program_);
    settings_ = DefaultSettings();
    settings_.PlayerName = "Tester";
  }

  // An add-on library beside the program: the test library of that name (a few pictures
  // each), or, where there is none, another resource library.
  void AddLibrary(const char* name) {
    QString fixture = QStringLiteral(OPTIONS_ADDON_FIXTURES "/") + QLatin1String(name);
    if (!QFile::exists(fixture))
      fixture = QStringLiteral(OPTIONS_ADDON_FIXTURES "/QorCards06B.dll");
    ASSERT_TRUE(QFile::copy(fixture, QDir(program_).filePath(name)));
  }

  // The background library of the tests holds picture 5 in red only: both lists are set
  // before the window looks for the picture.
  static void ChooseBackground(OptionsWindow& window, int picture, int colour) {
    auto* pictures = window.findChild<QComboBox*>("ComboBoxBG1");
    {
      const QSignalBlocker quiet(pictures);
      pictures->setCurrentIndex(picture - 1);
    }
    window.findChild<QComboBox*>("ComboBoxBG2")->setCurrentIndex(colour);
  }

  std::unique_ptr<OptionsWindow> Open(std::string downloadBase = kDefaultDownloadBase) {
    OptionsServices services;
    services.locator = ResourceLocator(program_);
    services.notices = &notices_;
    services.downloadBase = std::move(downloadBase);
    auto window = std::make_unique<OptionsWindow>(settings_, std::move(services), nullptr);
    spy_ = std::make_unique<QSignalSpy>(window.get(), &OptionsWindow::settingChanged);
    return window;
  }

  template <typename T>
  static T* Find(OptionsWindow& w, const char* name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  std::vector<OptionField> Fields() const {
    std::vector<OptionField> out;
    for (const auto& call : *spy_) out.push_back(call.at(0).value<OptionField>());
    return out;
  }
  bool Announced(OptionField field) const {
    const auto fields = Fields();
    return std::find(fields.begin(), fields.end(), field) != fields.end();
  }

  QTemporaryDir temp_;
  QString program_;
  TSettings settings_;
  RecordedNotices notices_;
  std::unique_ptr<QSignalSpy> spy_;
};

TEST_F(OptionsWindowTest, EveryCheckBoxWritesItsFieldAndAnnouncesIt) {
  AddLibrary("QorCGraph1.dll");  // the salute boxes need it
  struct Case {
    const char* box;
    bool TSettings::*field;
    OptionField announced;
  };
  const Case cases[] = {
      {"CheckBoxNet", &TSettings::NetMode, OptionField::kNetMode},
      {"CheckBox1", &TSettings::SoundOn, OptionField::kSound},
      {"CheckBox2", &TSettings::MusicOn, OptionField::kMusic},
      {"CheckBox3", &TSettings::GifAnimationOn, OptionField::kGifAnimation},
      {"CheckBox4", &TSettings::FlyCardsOn, OptionField::kFlyCards},
      {"CheckBoxCur", &TSettings::OwnCursor, OptionField::kOwnCursor},
      {"CheckBoxBut", &TSettings::NewButtons, OptionField::kNewButtons},
      {"CheckBoxSG1", &TSettings::GifRecording, OptionField::kGifRecording},
      {"CheckBoxD1", &TSettings::SaluteButtons, OptionField::kSalute},
      {"CheckBoxD2", &TSettings::SaluteCards, OptionField::kSalute},
  };
  auto window = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    auto* box = Find<QCheckBox>(*window, c.box);
    ASSERT_TRUE(box->isEnabled());
    const bool before = settings_.*c.field;
    EXPECT_EQ(box->isChecked(), before);
    spy_->clear();
    box->click();
    EXPECT_EQ(settings_.*c.field, !before);
    EXPECT_EQ(Fields(), std::vector<OptionField>{c.announced});
  }
  // "New buttons" redraws the window's own buttons in the other look.
  EXPECT_EQ(Find<QorCardsButton>(*window, "Button1")->AlternativeLook(), settings_.NewButtons);
}

TEST_F(OptionsWindowTest, ListsAndRadioGroupsWriteTheirFields) {
  AddLibrary("QorCGraph1.dll");
  AddLibrary("QorBackG03.dll");
  auto window = Open();
  struct Case {
    const char* list;
    int item;
    OptionField announced;
    std::function<bool(const TSettings&)> holds;
  };
  const Case cases[] = {
      {"ComboBoxWSize", 3, OptionField::kWindowSize,
       [](const TSettings& s) { return s.WindowSize == 4; }},
      {"ComboBoxWSize", 0, OptionField::kWindowSize,
       [](const TSettings& s) { return s.WindowSize == 1; }},
      {"ComboBoxSG1", 1, OptionField::kGifRecording,
       [](const TSettings& s) { return s.GifSource == 2; }},
      {"ComboBoxD1", 1, OptionField::kMenuDesign,
       [](const TSettings& s) { return s.MenuDesign == 1; }},
      {"ComboBoxD2", 1, OptionField::kTableDesign,
       [](const TSettings& s) { return s.TableDesign == 1; }},
      {"ComboBoxD3", 1, OptionField::kAuxDesign,
       [](const TSettings& s) { return s.AuxGray == 1 && !s.AuxPurple; }},
      {"ComboBoxD3", 2, OptionField::kAuxDesign,
       [](const TSettings& s) { return s.AuxGray == 3 && !s.AuxPurple; }},
      {"ComboBoxD3", 3, OptionField::kAuxDesign, [](const TSettings& s) { return s.AuxPurple; }},
      {"ComboBoxD3", 0, OptionField::kAuxDesign,
       [](const TSettings& s) { return s.AuxGray == 2 && !s.AuxPurple; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.list) + " " + std::to_string(c.item));
    spy_->clear();
    Find<QComboBox>(*window, c.list)->setCurrentIndex(c.item);
    EXPECT_TRUE(c.holds(settings_));
    EXPECT_TRUE(Announced(c.announced));
  }
  ChooseBackground(*window, 5, 1);
  EXPECT_EQ(settings_.Background, 5);
  EXPECT_EQ(settings_.BackgroundColour, 1);
  EXPECT_TRUE(Announced(OptionField::kBackground));
  // A picture the library lacks: the built-in one.
  ChooseBackground(*window, 7, 3);
  EXPECT_EQ(settings_.Background, 2);
  EXPECT_EQ(settings_.BackgroundColour, 0);
  EXPECT_EQ(Find<QComboBox>(*window, "ComboBoxBG1")->currentIndex(), 1);
  EXPECT_TRUE(notices_.first.empty());
  // Both designs purple: no background picture is shown, so none can be chosen.
  EXPECT_FALSE(Find<QComboBox>(*window, "ComboBoxBG1")->isEnabled());

  Find<QSpinBox>(*window, "SpinEditSG1")->setValue(250);
  EXPECT_EQ(settings_.GifDelay, 250);
  Find<QRadioButton>(*window, "RadioGroup3_0")->click();
  EXPECT_TRUE(settings_.RuleTwoFour);
  Find<QRadioButton>(*window, "RadioGroup3_1")->click();
  EXPECT_FALSE(settings_.RuleTwoFour);
  Find<QRadioButton>(*window, "RGRadio_1")->click();
  EXPECT_FALSE(settings_.RadioListFromServer);
  EXPECT_TRUE(Announced(OptionField::kRadioList));
}

TEST_F(OptionsWindowTest, GifRecordingIsOnlyOfferedForTheSmallWindow) {
  settings_.GifRecording = true;
  auto window = Open();
  auto* record = Find<QCheckBox>(*window, "CheckBoxSG1");
  EXPECT_TRUE(record->isChecked());
  Find<QComboBox>(*window, "ComboBoxWSize")->setCurrentIndex(2);
  EXPECT_FALSE(settings_.GifRecording);
  EXPECT_FALSE(record->isEnabled());
  EXPECT_FALSE(record->isChecked());
  EXPECT_TRUE(Announced(OptionField::kGifRecording));
  EXPECT_EQ(Find<QComboBox>(*window, "ComboBoxWSize")->toolTip(), "990 x 650");
}

TEST_F(OptionsWindowTest, MissingLibrariesFallBackWithTheirNotice) {
  auto window = Open();
  struct Case {
    const char* list;
    int item;
    const char* library;
    int shownAfter;  // the item the list shows after the fallback
    std::function<bool(const TSettings&)> fellBack;
  };
  const Case cases[] = {
      {"ComboBox1", 35, " QorCards06B.dll", 0,
       [](const TSettings& s) { return s.CardDesign == 0; }},
      {"ComboBox1", 3, " QorCards06A.dll", 0, [](const TSettings& s) { return s.CardDesign == 0; }},
      {"ComboBox2", 9, " QorCards06B.dll", 0, [](const TSettings& s) { return s.BackDesign == 0; }},
      {"ComboBoxBG1", 4, " QorBackG03.dll", 1,
       [](const TSettings& s) { return s.Background == 2 && s.BackgroundColour == 0; }},
      {"ComboBoxD1", 1, " QorCGraph1.dll", 0,
       [](const TSettings& s) {
         return s.MenuDesign == 0 && s.TableDesign == 0 && s.AuxGray == 2 && !s.AuxPurple;
       }},
      {"ComboBoxD3", 3, " QorCGraph1.dll", 0, [](const TSettings& s) { return !s.AuxPurple; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.list) + " " + std::to_string(c.item));
    notices_.first.clear();
    Find<QComboBox>(*window, c.list)->setCurrentIndex(c.item);
    EXPECT_TRUE(c.fellBack(settings_));
    ASSERT_EQ(notices_.first.size(), 1u);
    EXPECT_EQ(notices_.first[0], (NoticeLine{kWordCantFindFile, c.library}));
    EXPECT_EQ(Find<QComboBox>(*window, c.list)->currentIndex(), c.shownAfter);
  }
  // The built-in faces are drawn as samples: four opaque cards side by side.
  const QImage& samples = window->CardSamples();
  ASSERT_EQ(samples.size(), QSize(260, 96));
  for (int x : {30, 93, 156, 219}) EXPECT_EQ(qAlpha(samples.pixel(x, 48)), 255) << x;
  // Without the graphics library the salute boxes are cleared and disabled.
  EXPECT_FALSE(Find<QCheckBox>(*window, "CheckBoxD1")->isEnabled());
}

TEST_F(OptionsWindowTest, BackCollectionsAlwaysChangeAtRandom) {
  AddLibrary("QorCards06B.dll");
  settings_.BackAlwaysOne = true;
  auto window = Open();
  auto* change = Find<QRadioButton>(*window, "RadioGroup2_0");
  auto* always = Find<QRadioButton>(*window, "RadioGroup2_1");
  auto* random = Find<QRadioButton>(*window, "RadioGroup2_2");
  EXPECT_TRUE(always->isChecked());
  EXPECT_FALSE(random->isEnabled());

  Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(9);  // "Flowers"
  EXPECT_EQ(settings_.BackDesign, 9);
  EXPECT_FALSE(settings_.BackAlwaysOne);
  EXPECT_TRUE(random->isChecked());
  EXPECT_FALSE(change->isEnabled());
  EXPECT_FALSE(always->isEnabled());

  Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(12);
  EXPECT_TRUE(change->isChecked());
  EXPECT_FALSE(random->isEnabled());
  always->click();
  EXPECT_TRUE(settings_.BackAlwaysOne);
  change->click();
  EXPECT_FALSE(settings_.BackAlwaysOne);
  EXPECT_TRUE(notices_.first.empty());
}

TEST_F(OptionsWindowTest, FontRolesTakeNameAndScaleAndDefaultRestoresThem) {
  auto window = Open();
  auto* role = Find<QComboBox>(*window, "ComboBoxFont");
  EXPECT_EQ(role->itemText(2), "Special font 1");
  EXPECT_EQ(role->itemText(3), "Special font 2");
  role->setCurrentIndex(2);
  Find<QSpinBox>(*window, "SpinEdit1")->setValue(130);
  Find<QFontComboBox>(*window, "FontComboBox1")->setCurrentFont(QFont("Liberation Serif"));
  EXPECT_EQ(settings_.FontScale, (std::array<int, 4>{100, 100, 130, 100}));
  EXPECT_EQ(settings_.FontName[2], "Liberation Serif");
  EXPECT_TRUE(Announced(OptionField::kFonts));

  role->setCurrentIndex(0);
  EXPECT_EQ(Find<QSpinBox>(*window, "SpinEdit1")->value(), 100);
  Find<QAbstractButton>(*window, "Button2")->click();
  EXPECT_EQ(settings_.FontName, TSettings{}.FontName);
  EXPECT_EQ(settings_.FontScale, TSettings{}.FontScale);
}

TEST_F(OptionsWindowTest, ALanguageChangeRecaptionsTheOpenWindow) {
  auto window = Open();
  auto* tabs = Find<QTabWidget>(*window, "PageControl1");
  EXPECT_EQ(tabs->tabText(0), "General");
  // Every language the list offers, with its flag.
  auto* languages = Find<QComboBox>(*window, "ComboBoxLan");
  ASSERT_EQ(languages->count(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(languages->itemData(i, Qt::UserRole).value<QImage>().size(), QSize(16, 11)) << i;
  }
  for (int language : {kRussian, kChinese}) {
    languages->setCurrentIndex(language);
    EXPECT_EQ(settings_.LanguageIndex, language);
    EXPECT_EQ(LanguageIndex(), language);
    EXPECT_EQ(tabs->tabText(0), Text(WordIn(kWordGeneral, language)));
    EXPECT_EQ(window->windowTitle(), Text(WordIn(kWordOptions, language)));
    EXPECT_EQ(Find<QCheckBox>(*window, "CheckBox1")->text(), Text(WordIn(kWordSound, language)));
    EXPECT_EQ(Find<QComboBox>(*window, "ComboBoxBG2")->itemText(0),
              Text(WordIn(kWordGreen, language)));
    EXPECT_TRUE(Announced(OptionField::kLanguage));
  }
  SetLanguageIndex(0);
}

TEST_F(OptionsWindowTest, TheSpeedButtonShowsTheSpeedChosenInItsWindow) {
  auto window = Open();
  auto* speed = Find<QAbstractButton>(*window, "Button3");
  EXPECT_EQ(speed->text(), "Speed=4");
  // The player moves the slider of the speed window to 2 and closes it.
  bool seen = false;
  QTimer::singleShot(0, [&seen] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = dialog->objectName() == "FormSpeed";
    dialog->findChild<QSlider*>("TrackBar1")->setValue(2);
    dialog->accept();
  });
  speed->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(settings_.FlightSpeed, 2);
  EXPECT_EQ(speed->text(), "Speed=2");
  EXPECT_TRUE(Announced(OptionField::kFlightSpeed));
}

TEST_F(OptionsWindowTest, SettingsWrittenAfterEveryControlReadBackEqual) {
  AddLibrary("QorCGraph1.dll");
  AddLibrary("QorBackG03.dll");
  AddLibrary("QorCards06B.dll");
  {
    auto window = Open();
    Find<QComboBox>(*window, "ComboBoxLan")->setCurrentIndex(kGerman);
    for (const char* box :
         {"CheckBoxNet", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBoxCur",
          "CheckBoxBut", "CheckBoxSG1", "CheckBoxD1", "CheckBoxD2"}) {
      Find<QCheckBox>(*window, box)->click();
    }
    Find<QComboBox>(*window, "ComboBox1")->setCurrentIndex(33);
    Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(5);
    Find<QRadioButton>(*window, "RadioGroup2_1")->click();
    Find<QRadioButton>(*window, "RadioGroup3_0")->click();
    Find<QComboBox>(*window, "ComboBoxFont")->setCurrentIndex(3);
    Find<QSpinBox>(*window, "SpinEdit1")->setValue(77);
    ChooseBackground(*window, 5, 1);
    Find<QComboBox>(*window, "ComboBoxSG1")->setCurrentIndex(1);
    Find<QSpinBox>(*window, "SpinEditSG1")->setValue(1230);
    Find<QRadioButton>(*window, "RGRadio_1")->click();
    Find<QComboBox>(*window, "ComboBoxD1")->setCurrentIndex(1);
    Find<QComboBox>(*window, "ComboBoxD3")->setCurrentIndex(2);
  }
  SetLanguageIndex(0);
  const TSettings changed = settings_;
  EXPECT_EQ(changed.LanguageIndex, kGerman);
  EXPECT_EQ(changed.CardDesign, 33);
  EXPECT_EQ(changed.BackDesign, 5);
  EXPECT_TRUE(changed.BackAlwaysOne);
  EXPECT_EQ(changed.FontScale[3], 77);
  EXPECT_EQ(changed.Background, 5);
  EXPECT_EQ(changed.GifDelay, 1230);
  EXPECT_TRUE(changed.GifRecording);

  ASSERT_TRUE(SaveProgramSettings(changed, {program_, QString(), true}, nullptr));
  const SettingsRead read = LoadSettings(QDir(program_).filePath("Trilane.ini").toStdString());
  EXPECT_TRUE(read.reachedEnd);
  EXPECT_EQ(read.settings, changed);
}

TEST_F(OptionsWindowTest, SavingRemovesTheSongCopyAndReportsAFileItCannotWrite) {
  SetModalAutoClose(0);
  const QString ini = QDir(program_).filePath("Trilane.ini");
  const QString song = temp_.filePath("temp94_25.mid");
  QFile(song).open(QIODevice::WriteOnly);

  // The club files failed their check: the song copy goes, nothing is written.
  EXPECT_FALSE(SaveProgramSettings(settings_, {program_, song, false}, nullptr));
  EXPECT_FALSE(QFile::exists(song));
  EXPECT_FALSE(QFile::exists(ini));

  {
    QFile old(ini);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  EXPECT_FALSE(SaveProgramSettings(settings_, {program_, QString(), true}, nullptr));
  QFile old(ini);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old");
  SetModalAutoClose(-1);
}

// A small web server on 127.0.0.1 that serves one add-on and refuses everything else.
class AddonServer {
 public:
  explicit AddonServer(std::string body) {
    server_.Get("/downloads/progr/cards/QorCards06A.dll",
                [body](const httplib::Request&, httplib::Response& res) {
                  res.set_content(body, "application/octet-stream");
                });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int waited = 0; !server_.is_running() && waited < 5000; ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!server_.is_running()) ADD_FAILURE() << "the add-on server did not start";
  }
  ~AddonServer() {
    server_.stop();
    thread_.join();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST_F(OptionsWindowTest, AMissingAddonIsDownloadedBesideTheProgram) {
  AddLibrary("QorCGraph1.dll");
  QFile fixture(QStringLiteral(OPTIONS_ADDON_FIXTURES "/QorCards06B.dll"));
  ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
  const QByteArray library = fixture.readAll();
  AddonServer server(library.toStdString());
  auto window = Open(server.Base());

  auto* present = Find<QorCardsButton>(*window, "ButtonDll9");  // QorCGraph1.dll
  EXPECT_FALSE(present->isEnabled());
  EXPECT_EQ(present->Lightening(), kPresentAddonLight);
  auto* cardsA = Find<QorCardsButton>(*window, "ButtonDll1");
  auto* cardsC = Find<QorCardsButton>(*window, "ButtonDll8");
  ASSERT_TRUE(cardsA->isEnabled());
  EXPECT_EQ(cardsA->Lightening(), 0);

  QSignalSpy finished(window.get(), &OptionsWindow::downloadFinished);
  cardsA->click();
  EXPECT_TRUE(window->Downloading());
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_TRUE(finished.at(0).at(1).toBool());
  QFile downloaded(temp_.filePath("QorCards06A.dll"));
  ASSERT_TRUE(downloaded.open(QIODevice::ReadOnly));
  EXPECT_EQ(downloaded.readAll(), library);
  EXPECT_FALSE(cardsA->isEnabled());
  EXPECT_EQ(cardsA->Lightening(), kPresentAddonLight);
  EXPECT_TRUE(Announced(OptionField::kAddons));

  // The server has no such file: a notice, nothing written, the button still offered.
  cardsC->click();
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_FALSE(finished.at(1).at(1).toBool());
  ASSERT_EQ(notices_.first.size(), 1u);
  EXPECT_EQ(notices_.first[0].word, kWordCantConnectToServer);
  EXPECT_EQ(notices_.second[0].tail, "QorCards06C.dll");
  EXPECT_EQ(QDir(temp_.path()).entryList({"QorCards06C*"}, QDir::Files | QDir::Hidden).size(), 0);
  EXPECT_TRUE(cardsC->isEnabled());
}

}  // namespace
}  // namespace trilane
