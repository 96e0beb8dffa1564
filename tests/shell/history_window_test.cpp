// The history window over folders of history files: which files it lists, what the grid
// shows of the chosen one, how it sorts, and the rating chart under it.
#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <fstream>

#include "options_qt_app.h"
#include "records/history_file.h"
#include "records/settings.h"
#include "shell/history/history_window.h"

namespace trilane {
namespace {

namespace fs = std::filesystem;

HistoryRecord Match(std::string players, int64_t games, int64_t result, double rating,
                    MatchKind kind) {
  HistoryRecord r;
  r.players = std::move(players);
  r.games = games;
  r.result = result;
  r.rating = rating;
  r.kind = kind;
  return r;
}

std::string Line(const HistoryRecord& record, int minute = 5) {
  CalendarTime when{2026, 12, 10, 9, minute};
  auto line = FormatHistoryRecord(record, when, kDefaultDatePattern);
  EXPECT_TRUE(line.has_value());
  return line.has_value() ? line.value() : std::string();
}

void WriteFile(const fs::path& dir, int number, const std::vector<std::string>& lines) {
  fs::create_directories(dir);
  std::ofstream(HistoryFilePath(dir, number), std::ios::binary) << BuildHistoryFile(lines);
}

// Changes one byte among the checksummed ones of the first record line.
void Tamper(const fs::path& file) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(20);
  f.put('Z');
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WindowTestApp();
    HistoryWindow::ForgetChosenFile();
    ASSERT_TRUE(temp_.isValid());
    folder_ = fs::path(temp_.path().toStdString()) / "History";
  }

  std::unique_ptr<HistoryWindow> Open() {
    return std::make_unique<HistoryWindow>(settings_, folder_, nullptr);
  }
  static QListWidget* Files(HistoryWindow& w) { return w.findChild<QListWidget*>("FileList"); }
  static QTableWidget* Grid(HistoryWindow& w) { return w.findChild<QTableWidget*>("SG"); }
  static RatingChart* Chart(HistoryWindow& w) { return w.findChild<RatingChart*>("RatingChart"); }
  static QStringList Column(QTableWidget* grid, int column) {
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r) out << grid->item(r, column)->text();
    return out;
  }

  QTemporaryDir temp_;
  fs::path folder_;
  TSettings settings_;
};

TEST_F(HistoryWindowTest, WithoutValidFilesTheListSaysSoAndTheGridStaysEmpty) {
  // No folder at all, then a folder whose only file fails its check.
  for (bool tampered : {false, true}) {
    if (tampered) {
      WriteFile(folder_, 1, {Line(Match("Anna", 10, 5, 1.5, kLocalMatch))});
      Tamper(HistoryFilePath(folder_, 1));
    }
    auto window = Open();
    QListWidget* files = Files(*window);
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->item(0)->text(), "No History Files");
    EXPECT_FALSE(files->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(Grid(*window)->rowCount(), 0);
    EXPECT_EQ(window->ShownFile(), 0);
    EXPECT_TRUE(Chart(*window)->Ratings().empty());
  }
}

TEST_F(HistoryWindowTest, GridShowsTheColumnsOfEveryRecordWithTypeColours) {
  WriteFile(folder_, 1,
            {Line(Match("Anna", 12, -325, 0.05, kLocalMatch), 1),
             Line(Match("Anna/Boris/Vera", 7, 40, 12.5, kNetMatch), 2),
             Line(Match("Anna", 80, 1200, -3.25, kAccountMatch), 3),
             Line(Match("Ann/Bo/Cy/Di", 4, 9, 101, kTourneyMatch), 4)});
  auto window = Open();
  EXPECT_EQ(window->objectName(), "FHistory");
  EXPECT_EQ(window->width(), 770);
  ASSERT_EQ(Files(*window)->count(), 1);
  EXPECT_TRUE(Files(*window)->item(0)->text().startsWith("File I0001 "));
  EXPECT_EQ(window->ShownFile(), 1);

  QTableWidget* grid = Grid(*window);
  ASSERT_EQ(grid->columnCount(), 7);
  const int widths[] = {45, 65, 210, 45, 55, 55, 80};
  const char* headers[] = {"Time", "Date", "Player", "Games", "Result", "Rating", "Type"};
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(grid->columnWidth(c), widths[c]);
    EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), headers[c]);
  }
  ASSERT_EQ(grid->rowCount(), 4);
  EXPECT_EQ(Column(grid, HistoryWindow::kTime), QStringList({"9:01", "9:02", "9:03", "9:04"}));
  EXPECT_EQ(grid->item(0, HistoryWindow::kDate)->text(), "10.12.2026");
  EXPECT_EQ(Column(grid, HistoryWindow::kPlayers),
            QStringList({"Anna", "Anna/Boris/Vera", "Anna", "Ann/Bo/Cy/Di"}));
  EXPECT_EQ(Column(grid, HistoryWindow::kResult), QStringList({"-325", "40", "1200", "9"}));
  EXPECT_EQ(Column(grid, HistoryWindow::kRating),
            QStringList({"0,05", "12,50", "-3,25", "101,00"}));
  EXPECT_EQ(Column(grid, HistoryWindow::kType),
            QStringList({"Local", "Net", "Account", "Tourney"}));
  EXPECT_EQ(grid->item(1, HistoryWindow::kType)->foreground().color(), QColor(0, 128, 0));
  EXPECT_EQ(grid->item(2, HistoryWindow::kType)->foreground().color(), QColor(200, 0, 0));
  EXPECT_EQ(grid->item(3, HistoryWindow::kType)->foreground().color(), QColor(0, 0, 220));
  EXPECT_EQ(grid->item(0, HistoryWindow::kType)->foreground().color(),
            grid->palette().color(QPalette::Text));

  // The chart follows the chosen row's player: the newest match at first.
  EXPECT_EQ(Chart(*window)->Player(), "Ann/Bo/Cy/Di");
  EXPECT_EQ(Chart(*window)->Ratings(), (std::vector<double>{101}));
}

TEST_F(HistoryWindowTest, TheChartDrawsTheChosenPlayersMatchesOnly) {
  WriteFile(folder_, 1,
            {Line(Match("Anna", 12, -325, 0.5, kLocalMatch), 1),
             Line(Match("Boris", 7, 40, 12.5, kLocalMatch), 2),
             Line(Match("Anna", 80, 1200, 3.25, kLocalMatch), 3),
             Line(Match("Boris", 4, 9, 10, kLocalMatch), 4),
             Line(Match("Anna", 9, 90, 2.0, kLocalMatch), 5)});
  auto window = Open();
  window->resize(770, 530);
  QTableWidget* grid = Grid(*window);
  RatingChart* chart = Chart(*window);
  EXPECT_EQ(chart->Player(), "Anna");
  EXPECT_EQ(chart->Ratings(), (std::vector<double>{0.5, 3.25, 2.0}));
  EXPECT_EQ(chart->Marked(), 2);

  // Choosing Boris's first match, also after sorting the grid by rating.
  window->SortByColumn(HistoryWindow::kRating);
  for (int r = 0; r < grid->rowCount(); ++r) {
    if (grid->item(r, HistoryWindow::kRating)->text() == "12,50") grid->setCurrentCell(r, 0);
  }
  EXPECT_EQ(chart->Player(), "Boris");
  EXPECT_EQ(chart->Ratings(), (std::vector<double>{12.5, 10}));
  EXPECT_EQ(chart->Marked(), 0);

  // Every point, its dot included, lies inside the chart's frame, the last one too.
  for (size_t i = 0; i < chart->Ratings().size(); ++i) {
    const QPointF p = chart->PointAt(i);
    const QRectF dot(p.x() - RatingChart::kDotRadius, p.y() - RatingChart::kDotRadius,
                     2 * RatingChart::kDotRadius, 2 * RatingChart::kDotRadius);
    EXPECT_TRUE(QRectF(1, 1, chart->width() - 2, chart->height() - 2).contains(dot))
        << i << " at " << p.x() << "," << p.y() << " in " << chart->width() << "x"
        << chart->height();
  }
  EXPECT_EQ(chart->AxisLabels(), std::make_pair(QString("12,50"), QString("10,00")));
}

TEST_F(HistoryWindowTest, OneRecordGivesTwoDifferentAxisLabels) {
  WriteFile(folder_, 1, {Line(Match("Anna", 12, 30, 1.75, kLocalMatch))});
  auto window = Open();
  const auto [top, bottom] = Chart(*window)->AxisLabels();
  EXPECT_EQ(top, "2,25");
  EXPECT_EQ(bottom, "1,25");
}

TEST_F(HistoryWindowTest, ListingStopsAtTheFirstMissingOrInvalidFile) {
  const std::vector<std::string> one = {Line(Match("Anna", 1, 1, 1, kLocalMatch))};
  WriteFile(folder_, 1, one);
  WriteFile(folder_, 3, one);  // 0002 missing: 0003 is never reached
  EXPECT_EQ(Files(*Open())->count(), 1);

  WriteFile(folder_, 2, one);
  EXPECT_EQ(Files(*Open())->count(), 3);

  Tamper(HistoryFilePath(folder_, 2));
  auto window = Open();
  ASSERT_EQ(Files(*window)->count(), 1);
  EXPECT_EQ(window->ShownFile(), 1);
}

TEST_F(HistoryWindowTest, OpensOnTheLastFileOrTheOneChosenBeforeAndRechecksOnClick) {
  WriteFile(folder_, 1, {Line(Match("First", 1, 1, 1, kLocalMatch))});
  WriteFile(
      folder_, 2,
      {Line(Match("Second", 1, 1, 1, kLocalMatch)), Line(Match("Second", 2, 2, 2, kLocalMatch))});
  {
    auto window = Open();
    EXPECT_EQ(window->ShownFile(), 2);
    EXPECT_EQ(Grid(*window)->rowCount(), 2);
    Files(*window)->setCurrentRow(0);
    EXPECT_EQ(window->ShownFile(), 1);
    EXPECT_EQ(Grid(*window)->item(0, HistoryWindow::kPlayers)->text(), "First");
  }
  {
    auto window = Open();  // the same run: the file chosen before is kept
    EXPECT_EQ(window->ShownFile(), 1);
    // A file damaged after it was listed shows nothing when chosen.
    Tamper(HistoryFilePath(folder_, 2));
    Files(*window)->setCurrentRow(1);
    EXPECT_EQ(window->ShownFile(), 0);
    EXPECT_EQ(Grid(*window)->rowCount(), 0);
  }
}

TEST_F(HistoryWindowTest, HeaderClicksSortNumbersAsNumbersAndToggleTheOrder) {
  WriteFile(folder_, 1,
            {Line(Match("bob", 5, 5, 3.25, kLocalMatch), 1),
             Line(Match("Anna", 30, -20, 12.5, kNetMatch), 2),
             Line(Match("Cid", 200, 100, -1, kLocalMatch), 3)});
  auto window = Open();
  QTableWidget* grid = Grid(*window);
  grid->horizontalHeader()->sectionClicked(HistoryWindow::kResult);
  EXPECT_EQ(Column(grid, HistoryWindow::kResult), QStringList({"-20", "5", "100"}));
  grid->horizontalHeader()->sectionClicked(HistoryWindow::kResult);
  EXPECT_EQ(Column(grid, HistoryWindow::kResult), QStringList({"100", "5", "-20"}));
  window->SortByColumn(HistoryWindow::kRating);
  EXPECT_EQ(Column(grid, HistoryWindow::kRating), QStringList({"-1,00", "3,25", "12,50"}));
  window->SortByColumn(HistoryWindow::kGames);
  EXPECT_EQ(Column(grid, HistoryWindow::kGames), QStringList({"5", "30", "200"}));
  window->SortByColumn(HistoryWindow::kPlayers);
  EXPECT_EQ(Column(grid, HistoryWindow::kPlayers), QStringList({"Anna", "bob", "Cid"}));
  // The date column keeps the order in which the matches were played.
  window->SortByColumn(HistoryWindow::kDate);
  window->SortByColumn(HistoryWindow::kDate);
  EXPECT_EQ(Column(grid, HistoryWindow::kTime), QStringList({"9:03", "9:02", "9:01"}));
}

TEST_F(HistoryWindowTest, ManyFilesWidenTheListForItsScrollBar) {
  const std::vector<std::string> one = {Line(Match("Anna", 1, 1, 1, kLocalMatch))};
  for (int n = 1; n <= 16; ++n) WriteFile(folder_, n, one);
  EXPECT_EQ(Files(*Open())->width(), 180);
  WriteFile(folder_, 17, one);
  auto window = Open();
  EXPECT_EQ(Files(*window)->width(), 193);
  EXPECT_EQ(window->findChild<QWidget*>("Button1")->width(), 193);
  EXPECT_EQ(window->ShownFile(), 17);
}

}  // namespace
}  // namespace trilane
