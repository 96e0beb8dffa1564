// The passport: nick and city lamps by the field rules, keystrokes the fields never take,
// the continent and country lists with their flags, and "Ok" keeping only a valid passport.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "base/codepage.h"
#include "records/settings.h"
#include "shell/account/passport_window.h"
#include "table_test_app.h"
#include "words/words.h"

namespace trilane {
namespace {

template <typename T>
T* Child(QWidget& window, const char* name) {
  auto* child = window.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

TEST(PassportWindow, LampsFollowTheFieldRules) {
  test::TableTestApp();
  TSettings settings;
  PassportWindow window(settings, nullptr);
  auto* nick = Child<QLineEdit>(window, "Edit1");
  auto* city = Child<QLineEdit>(window, "Edit2");
  auto* ok = Child<QAbstractButton>(window, "Button1");
  struct Case {
    const char* nick;
    const char* city;
    int nickRating, cityRating;
  };
  // The passport takes Cyrillic in both fields (unlike an account's nick).
  const Case cases[] = {
      {"Incognito", "Moscow", 3, 3},
      {"Вася", "Тверь", 2, 2},
      {"A", "Lo", 1, 3},
      {"Ann-Mary_1.", "St.Petersburg", 3, 3},
      {"", "Санкт-Петербург", 1, 2},
      {"ab", "x", 3, 1},
      {"Ёлка(1)", "O,K!", 2, 3},
      {"no@mail", "a@", 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nick);
    nick->setText(QString::fromUtf8(c.nick));
    city->setText(QString::fromUtf8(c.city));
    EXPECT_EQ(window.NickRating(), c.nickRating);
    EXPECT_EQ(window.CityRating(), c.cityRating);
    EXPECT_EQ(Child<QLabel>(window, "LampNick")->property("rating").toInt(), c.nickRating);
    EXPECT_EQ(Child<QLabel>(window, "LampCity")->property("rating").toInt(), c.cityRating);
    // The lamp shows a picture of its colour, not an empty label.
    EXPECT_FALSE(Child<QLabel>(window, "LampNick")->pixmap().isNull());
    EXPECT_EQ(ok->isEnabled(), c.nickRating > 1 && c.cityRating > 1);
  }
}

TEST(PassportWindow, RefusesKeysOfNoClassAndLongTexts) {
  test::TableTestApp();
  TSettings settings;
  PassportWindow window(settings, nullptr);
  auto* nick = Child<QLineEdit>(window, "Edit1");
  nick->clear();
  QTest::keyClicks(nick, "a b#c$d~e");
  EXPECT_EQ(nick->text(), "abcde");
  nick->clear();
  QTest::keyClicks(nick, "abcdefghijklmnop");
  EXPECT_EQ(nick->text(), "abcdefghijkl");  // 12 characters
  auto* city = Child<QLineEdit>(window, "Edit2");
  city->clear();
  QTest::keyClicks(city, "abcdefghijklmnopqrs");
  EXPECT_EQ(city->text().size(), 15);
}

TEST(PassportWindow, OkKeepsThePassportInTheSettings) {
  test::TableTestApp();
  SetLanguageIndex(kEnglish);
  TSettings settings;
  settings.TopTenCountry = "2-010";  // China
  settings.TopTenSex = "W";
  PassportWindow window(settings, nullptr);
  auto* continent = Child<QComboBox>(window, "ComboBox1");
  auto* country = Child<QComboBox>(window, "ComboBox2");
  auto* sex = Child<QComboBox>(window, "ComboBox3");
  EXPECT_EQ(continent->currentIndex(), 1);
  EXPECT_EQ(country->currentText(), "China");
  EXPECT_EQ(country->count(), 52);
  EXPECT_EQ(sex->currentIndex(), 1);
  // Every country row has its flag.
  for (int i = 0; i < country->count(); ++i) EXPECT_FALSE(country->itemIcon(i).isNull()) << i;

  // Africa, row 12: the Congo Republic, whose short name is empty, still has its code.
  continent->setCurrentIndex(5);
  EXPECT_EQ(country->count(), 55);
  EXPECT_EQ(country->currentIndex(), 0);
  country->setCurrentIndex(12);
  sex->setCurrentIndex(0);
  Child<QLineEdit>(window, "Edit1")->setText(QString::fromUtf8("Петя"));
  Child<QLineEdit>(window, "Edit2")->setText("Brazzaville");
  QTest::mouseClick(Child<QAbstractButton>(window, "Button1"), Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(settings.TopTenCountry, "6-012");
  EXPECT_EQ(settings.TopTenSex, "M");
  EXPECT_EQ(settings.TopTenNick, *Utf8ToCp1251("Петя"));
  EXPECT_EQ(settings.TopTenCity, "Brazzaville");
}

TEST(PassportWindow, InvalidOrClosedLeavesTheSettings) {
  test::TableTestApp();
  TSettings settings;
  const TSettings before = settings;
  {
    PassportWindow window(settings, nullptr);
    Child<QLineEdit>(window, "Edit1")->setText("X");
    window.accept();  // as Enter would: refused while the nick lamp is red
    EXPECT_NE(window.result(), QDialog::Accepted);
    Child<QComboBox>(window, "ComboBox1")->setCurrentIndex(3);
    window.reject();
  }
  EXPECT_EQ(settings.TopTenNick, before.TopTenNick);
  EXPECT_EQ(settings.TopTenCountry, before.TopTenCountry);
  // A damaged code in the file shows Russia rather than an empty list.
  settings.TopTenCountry = "9-999";
  PassportWindow damaged(settings, nullptr);
  EXPECT_EQ(damaged.CountryCode(), "1-001");
}

// The captions fit in English, Russian and Chinese, in the gray and purple designs; with
// TRILANE_ACCOUNT_SHOTS naming a folder the window is saved there for a person to look at.
TEST(PassportWindow, CaptionsFitInEachLanguage) {
  test::TableTestApp();
  const QString shots = qEnvironmentVariable("TRILANE_ACCOUNT_SHOTS");
  for (int language : {kEnglish, kRussian, kChinese}) {
    SetLanguageIndex(language);
    for (bool purple : {false, true}) {
      TSettings settings;
      settings.AuxPurple = purple;
      PassportWindow window(settings, nullptr);
      window.show();
      QApplication::processEvents();
      for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << language << " " << label->text().toStdString();
      }
      auto* continent = Child<QComboBox>(window, "ComboBox1");
      for (int i = 0; i < continent->count(); ++i) {
        EXPECT_GE(continent->width(),
                  continent->fontMetrics().horizontalAdvance(continent->itemText(i)) + 20)
            << language << " " << continent->itemText(i).toStdString();
      }
      if (!shots.isEmpty())
        window.grab().save(QString("%1/passport-%2-%3.png")
                               .arg(shots)
                               .arg(language)
                               .arg(purple ? "purple" : "gray"));
    }
  }
  SetLanguageIndex(kEnglish);
}

}  // namespace
}  // namespace trilane
