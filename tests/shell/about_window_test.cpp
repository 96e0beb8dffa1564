// The About window's texts in the language of the moment: its title, its button, the line a
// screen reader gets, and the three lines it paints (the name and version in dark red, the
// release date and the author line in dark blue), each as wide as its text in its font.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <cstdlib>
#include <vector>

#include "assets/assets.h"
#include "records/settings.h"
#include "shell/about_window.h"
#include "shell/fonts.h"
#include "table_test_app.h"
#include "words/words.h"

namespace trilane {
namespace {

// The rows of `image` from `top` to `bottom` that hold pixels of `colour` (give or take the edges
// of antialiased letters), gathered into bands of neighbouring rows, each with the leftmost and
// rightmost such pixel.
struct Band {
  int top = 0, bottom = 0, left = 1 << 20, right = -1;
};
std::vector<Band> InkBands(const QImage& image, int top, int bottom, QColor colour) {
  std::vector<Band> bands;
  for (int y = top; y < bottom; ++y) {
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) <= 24 && std::abs(c.green() - colour.green()) <= 24 &&
          std::abs(c.blue() - colour.blue()) <= 24) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    if (right < 0) continue;
    if (bands.empty() || y > bands.back().bottom + 1) bands.push_back(Band{y, y});
    Band& band = bands.back();
    band.bottom = y;
    band.left = std::min(band.left, left);
    band.right = std::max(band.right, right);
  }
  return bands;
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(AboutWindow, TextsInEachLanguage) {
  test::TableTestApp();
  struct Case {
    int language;
    const char* title;
    const char* ok;
    const char* description;
  };
  const Case cases[] = {
      {kEnglish, "About", "Ok", "Trilane 5.7. October 18, 2022. The Trilane Team"},
      {kRussian, "О программе", "OK", "Trilane 5.7. 18 октября 2022 г.. Команда Trilane"},
      {kJapanese, "バージョン情報", "OK", "Trilane 5.7. 2022年10月18日. Trilane チーム"},
  };
  TSettings settings;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    SetLanguageIndex(c.language);
    AboutWindow window(settings, nullptr);
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(c.title));
    auto* ok = window.findChild<QAbstractButton*>("Button1");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QString::fromUtf8(c.ok));
    EXPECT_EQ(window.accessibleDescription(), QString::fromUtf8(c.description));

    // The painted lines, below the caption picture: one red, then two blue ones.
    const QImage picture = window.grab().toImage();
    const int textTop = window.HeaderHeight() + 12 + 70 + 8;
    const int textBottom = ok->mapTo(&window, QPoint(0, 0)).y();  // the red button below
    const auto red = InkBands(picture, textTop, textBottom, QColor(128, 0, 0));
    const auto blue = InkBands(picture, textTop, textBottom, QColor(0, 0, 128));
    ASSERT_EQ(red.size(), 1u);
    ASSERT_EQ(blue.size(), 2u);
    EXPECT_LT(red[0].bottom, blue[0].top);
    const QString lines[] = {Utf8(ProductTitle()) + "  " + kShownVersion, Utf8(ReleaseDate()),
                             Utf8(AuthorLine())};
    const QFont fonts[] = {RoleFont(settings, FontRole::kDecor, 26, true),
                           RoleFont(settings, FontRole::kSerif, 17, false),
                           RoleFont(settings, FontRole::kSerif, 17, false)};
    const Band bands[] = {red[0], blue[0], blue[1]};
    for (int i = 0; i < 3; ++i) {
      // Ink is a few pixels narrower than the text's advance (the sides of the first and
      // last letters): enough to tell the lines of one language from each other.
      const int advance = QFontMetrics(fonts[i]).horizontalAdvance(lines[i]);
      const int ink = bands[i].right - bands[i].left + 1;
      EXPECT_LE(ink, advance + 2) << lines[i].toStdString();
      EXPECT_GE(ink, advance - 10) << lines[i].toStdString();
      EXPECT_NEAR((bands[i].left + bands[i].right) / 2, 440 / 2, 6) << "centred";
    }
  }
  SetLanguageIndex(kEnglish);
}

}  // namespace
}  // namespace trilane
