// The four designs of the auxiliary windows, seen on the options and history windows: the
// header each design takes, what the purple design does to buttons and captions, the emblem
// timer, and the fallback when the graphics library or its pictures are missing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "options_qt_app.h"
#include "platform/resource_module.h"
#include "records/settings.h"
#include "shell/history/history_window.h"
#include "shell/options/options_window.h"
#include "shell/widgets/qor_button.h"
#include "shell/window_designs.h"

namespace trilane {
namespace {

class WindowDesignsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WindowTestApp();
    SetLanguageIndex(0);
    ASSERT_TRUE(temp_.isValid());
    SetWindowDesignLibrary(ResourceLocator(temp_.path()));
  }
  void TearDown() override { SetWindowDesignLibrary(ResourceLocator(QString())); }

  std::unique_ptr<OptionsWindow> Options(TSettings& settings) {
    OptionsServices services;
    services.locator = ResourceLocator(temp_.path());
    return std::make_unique<OptionsWindow>(settings, services, nullptr);
  }

  QTemporaryDir temp_;
};

TEST_F(WindowDesignsTest, EachDesignGivesItsHeaderAndTheBodyMovesBelowIt) {
  struct Case {
    bool purple;
    int gray;
    AuxDesign design;
    int optionsHeader, historyHeader;
  };
  const Case cases[] = {
      {false, 1, AuxDesign::kGrayConcise, 48, 48},
      {false, 2, AuxDesign::kGrayAristocratic, 64, 64},
      {false, 3, AuxDesign::kGrayRibbons, 90, 100},
      {true, 2, AuxDesign::kPurple, 64, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.design));
    TSettings settings;
    settings.AuxPurple = c.purple;
    settings.AuxGray = c.gray;
    TSettings kept = settings;  // the options window may reset a design it cannot show
    auto options = Options(kept);
    options->show();  // the body is placed when the window gets its size
    EXPECT_EQ(options->Design(), c.design);
    EXPECT_EQ(options->HeaderHeight(), c.optionsHeader);
    EXPECT_EQ(options->height(), c.optionsHeader + 311);
    EXPECT_EQ(options->Body()->geometry().top(), c.optionsHeader);

    HistoryWindow history(settings, std::filesystem::path(temp_.path().toStdString()), nullptr);
    EXPECT_EQ(history.Design(), c.design);
    EXPECT_EQ(history.HeaderHeight(), c.historyHeader);
    EXPECT_EQ(history.height(), c.historyHeader + 466);
  }
}

TEST_F(WindowDesignsTest, PurpleButtonsTakeTheCardLookAndCaptionsTurnGold) {
  TSettings settings;
  settings.AuxPurple = true;
  auto window = Options(settings);
  auto* ok = window->findChild<QorCardsButton*>("Button1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->Body(), QorCardsButton::BodyColour::kCards);
  EXPECT_EQ(ok->CaptionColour(), kPurpleCaption);
  EXPECT_EQ(window->palette().color(QPalette::WindowText), kPurpleCaption);
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_NE(window->findChild<QTimer*>("Timer48"), nullptr);

  TSettings gray;
  auto grayWindow = Options(gray);
  EXPECT_EQ(grayWindow->findChild<QorCardsButton*>("Button1")->Body(),
            QorCardsButton::BodyColour::kRed);
}

TEST_F(WindowDesignsTest, WithoutTheGraphicsLibraryTheOptionsReturnToTheAristocraticDesign) {
  const std::pair<bool, int> designs[] = {{true, 2}, {false, 1}, {false, 3}};
  for (const auto& [purple, gray] : designs) {
    TSettings settings;
    settings.AuxPurple = purple;
    settings.AuxGray = gray;
    auto window = Options(settings);
    EXPECT_FALSE(settings.AuxPurple);
    EXPECT_EQ(settings.AuxGray, 2);
  }
  // A library that lacks the window's pictures keeps the choice; the window writes its title
  // where the lettering would be.
  ASSERT_TRUE(QFile::copy(QStringLiteral(OPTIONS_ADDON_FIXTURES "/QorCGraph1.dll"),
                          QDir(temp_.path()).filePath("QorCGraph1.dll")));
  for (const auto& [purple, gray] : designs) {
    TSettings settings;
    settings.AuxPurple = purple;
    settings.AuxGray = gray;
    auto window = Options(settings);
    EXPECT_EQ(settings.AuxPurple, purple);
    EXPECT_EQ(settings.AuxGray, gray);
    const QImage picture = window->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    // The gray headers are not the plain window colour: a bar or a ribbon was drawn there.
    if (!purple) {
      EXPECT_NE(picture.pixelColor(picture.width() / 2, 20),
                window->palette().color(QPalette::Window));
    }
  }
}

TEST_F(WindowDesignsTest, WindowsAreFoundByTheirObjectNames) {
  const WindowDesignSpec* options = WindowDesignFor("FormOptions");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(options->key, "Opt");
  EXPECT_EQ(options->iconFrames, 10);
  const WindowDesignSpec* history = WindowDesignFor("FHistory");
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(history->ribbonWidth, 590);
  EXPECT_EQ(history->iconFrames, 12);
  EXPECT_EQ(WindowDesignFor("Form1"), nullptr);
}

}  // namespace
}  // namespace trilane
