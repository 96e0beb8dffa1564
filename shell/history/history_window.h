#pragma once
// The history window: the valid history files of the "History" folder on the left, the
// matches of the chosen file in a grid on the right (sortable by any column), and under the
// grid a small chart of the rating after each match of that file.
#include <QString>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "records/history_file.h"
#include "shell/aux_window.h"

class QListWidget;
class QTableWidget;

namespace trilane {

struct TSettings;

// The rating after each match of one player, in file order, drawn as a line between its
// lowest and highest value, with the match chosen in the grid marked. One player at a time:
// the ratings of different players are not on one scale.
class RatingChart : public QWidget {
  Q_OBJECT

 public:
  static constexpr double kDotRadius = 2.5;

  explicit RatingChart(QWidget* parent);
  // `player` as the grid shows it; `marked` is the index of the chosen match or -1.
  void SetRatings(QString player, std::vector<double> ratings, int marked = -1);
  const std::vector<double>& Ratings() const { return ratings_; }
  const QString& Player() const { return player_; }
  int Marked() const { return marked_; }
  // The labels of the top and bottom lines: the highest and lowest rating, or, when all the
  // ratings are one value, that value plus and minus a half, so that the two never agree.
  std::pair<QString, QString> AxisLabels() const;
  // The centre of point `i` in the widget.
  QPointF PointAt(size_t i) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::pair<double, double> Range() const;
  QRectF Plot() const;

  QString player_;
  std::vector<double> ratings_;
  int marked_ = -1;
};

class HistoryWindow : public AuxWindow {
  Q_OBJECT

 public:
  // The grid's columns, in order.
  enum Column { kTime, kDate, kPlayers, kGames, kResult, kRating, kType, kColumns };

  HistoryWindow(const TSettings& settings, const std::filesystem::path& historyFolder,
                QWidget* parent);

  // The file number whose matches the grid shows; 0 when there is none.
  int ShownFile() const { return shownFile_; }
  // Sorts the grid by a column, as a click on its header does; a second click on the same
  // column reverses the order.
  void SortByColumn(int column);

  // Forgets the file the player chose in an earlier window, as a new run of the program does.
  static void ForgetChosenFile();

  // The entry of the file list: "File I0003 <date>".
  static QString FileEntryText(int number, const QDate& date);

 private:
  void ListFiles();
  void ShowFile(int number);
  void FillGrid(const std::vector<std::string>& recordLines);
  // Shows the chosen grid row's player in the chart (the newest match when none is chosen).
  void FollowChosenRow();

  std::filesystem::path folder_;
  std::vector<HistoryFileInfo> files_;
  QListWidget* fileList_;
  QTableWidget* grid_;
  RatingChart* chart_;
  // The shown file's matches in file order: who played and the rating after the match
  // (nothing for a line that does not read as a record).
  struct ChartPoint {
    QString players;
    std::optional<double> rating;
  };
  std::vector<ChartPoint> matches_;
  int shownFile_ = 0;
  int sortColumn_ = -1;
  bool sortDescending_ = false;
};

// Opens the history window over `parent` for the "History" folder of `programDir` and
// returns when it is closed.
void OpenHistoryWindow(const TSettings& settings, const QString& programDir, QWidget* parent);

}  // namespace trilane
