// The help pages as the build writes them: one page per language naming every hand value
// and every special combination in that language, with the example pictures beside them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "words/word_entries.h"
#include "words/words.h"

namespace trilane {
namespace {

QString Escaped(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

TEST(HelpPagesTest, EveryPageNamesEveryValueAndSpecialOfItsLanguage) {
  int argc = 1;
  char name[] = "help_pages_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcess generator;
  generator.start(QStringLiteral(TRILANE_HELP_PAGES), {QStringLiteral("--out"), dir.path()});
  ASSERT_TRUE(generator.waitForFinished(120000));
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

  const int values[] = {kWordHighCard,      kWordPair,      kWordTwoPair,   kWordThreeOfAKind,
                        kWordStraight,      kWordFlush,     kWordFullHouse, kWordFourOfAKind,
                        kWordStraightFlush, kWordRoyalFlush};
  std::vector<int> names(std::begin(values), std::end(values));
  for (int entry = kWordCleanDragon; entry <= kWordThreeFlushes; ++entry) names.push_back(entry);
  ASSERT_EQ(names.size(), 22u);  // ten hand values and twelve special combinations

  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(language);
    QFile file(dir.filePath(QStringLiteral("%1.html").arg(language)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    for (int entry : names) {
      EXPECT_TRUE(page.contains(Escaped(WordIn(entry, language)))) << "entry " << entry;
    }
    for (int entry : {kWordHelpTitle, kWordHelpRows, kWordHelpMajority, kWordHelpKeyUndo})
      EXPECT_TRUE(page.contains(Escaped(WordIn(entry, language)))) << "entry " << entry;
    // The page is translated: the English apology for an untranslated help file is not in it.
    EXPECT_FALSE(page.contains(QStringLiteral("Excuse!")));
    // Every picture the page shows was written beside it.
    const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto it = image.globalMatch(page); it.hasNext(); ++pictures) {
      const QString picture = it.next().captured(1);
      EXPECT_TRUE(QFile::exists(dir.filePath(picture))) << picture.toStdString();
    }
    EXPECT_EQ(pictures, 1 + 10 + 12);  // the rows, the values, the specials
  }
  // The English page's figures come from the rules: a clean dragon is worth 108, the
  // Middle's straight flush a bonus of 4.
  QFile english(dir.filePath(QStringLiteral("0.html")));
  ASSERT_TRUE(english.open(QIODevice::ReadOnly));
  const QString page = QString::fromUtf8(english.readAll());
  EXPECT_TRUE(page.contains(QStringLiteral("Clean Dragon</td><td class=\"points\">108<")));
  EXPECT_TRUE(page.contains(
      QStringLiteral("<td>Middle</td><td>Straight-Flush</td><td class=\"points\">4<")));
}

}  // namespace
}  // namespace trilane
