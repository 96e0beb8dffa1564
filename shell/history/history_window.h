#pragma once
// The history window: the valid history files of the "History" folder on the left, the
// matches of the chosen file in a grid on the right (sortable by any column), and under the
// grid a small chart of the rating after each match of that file.
#include <QString>
#include <QWidget>
#include <filesystem>
#include <vector>

#include "records/history_file.h"
#include "shell/aux_window.h"

class QListWidget;
class QTableWidget;

namespace trilane {

struct TSettings;

// The rating after each match, in file order, drawn as a line between its lowest and
// highest value.
class RatingChart : public QWidget {
  Q_OBJECT

 public:
  explicit RatingChart(QWidget* parent);
  void SetRatings(std::vector<double> ratings);
  const std::vector<double>& Ratings() const { return ratings_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<double> ratings_;
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

  std::filesystem::path folder_;
  std::vector<HistoryFileInfo> files_;
  QListWidget* fileList_;
  QTableWidget* grid_;
  RatingChart* chart_;
  int shownFile_ = 0;
  int sortColumn_ = -1;
  bool sortDescending_ = false;
};

// Opens the history window over `parent` for the "History" folder of `programDir` and
// returns when it is closed.
void OpenHistoryWindow(const TSettings& settings, const QString& programDir, QWidget* parent);

}  // namespace trilane
