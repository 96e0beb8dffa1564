#include "shell/history/history_window.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QTableWidget>
#include <algorithm>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kClientWidth = 770;
constexpr int kBodyHeight = 466;  // 530 with the 64-pixel header of the default design
constexpr int kMargin = 5;
constexpr int kNarrowList = 180;
constexpr int kWideList = 193;  // room for the scroll bar
constexpr int kFilesWithoutScrollBar = 16;
constexpr int kButtonHeight = 30;
constexpr int kChartHeight = 146;
constexpr int kColumnWidths[HistoryWindow::kColumns] = {45, 65, 210, 45, 55, 55, 80};
constexpr int kHeaderWords[HistoryWindow::kColumns] = {
    kWordHistoryTime, kWordHistoryDate,   kWordHistoryPlayer, kWordHistoryGames,
    kWordResult,      kWordHistoryRating, kWordHistoryType};

const QColor kListColours[2] = {QColor(255, 255, 232), QColor(226, 236, 255)};

// The file chosen last in this run; the window opens on it again while it is listed.
int g_chosenFile = 0;

// Grid cells sort by the key they carry: numbers as numbers, texts without regard to case.
class GridItem : public QTableWidgetItem {
 public:
  GridItem(const QString& text, const QVariant& key) : QTableWidgetItem(text) {
    setData(Qt::UserRole, key);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const QVariant a = data(Qt::UserRole);
    const QVariant b = other.data(Qt::UserRole);
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
      return a.toDouble() < b.toDouble();
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
  }
};

// A number column's key: the number when the text is one, else the text itself.
QVariant NumberKey(QString text) {
  bool ok = false;
  const double v = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  return ok ? QVariant(v) : QVariant(text);
}

struct KindLook {
  int word;
  QColor colour;  // invalid: the window text colour
};

KindLook LookOfKind(char letter) {
  switch (MatchKindFromLetter(letter).value_or(static_cast<MatchKind>(-1))) {
    case kLocalMatch:
      return {kWordMatchTypeLocal, QColor()};
    case kNetMatch:
      return {kWordMatchTypeNet, QColor(0, 128, 0)};
    case kAccountMatch:
      return {kWordMatchTypeAccount, QColor(200, 0, 0)};
    case kTourneyMatch:
      return {kWordMatchTypeTourney, QColor(0, 0, 220)};
  }
  return {-1, QColor()};
}

}  // namespace

RatingChart::RatingChart(QWidget* parent) : QWidget(parent) {
  setObjectName("RatingChart");
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
}

void RatingChart::SetRatings(QString player, std::vector<double> ratings, int marked) {
  player_ = std::move(player);
  ratings_ = std::move(ratings);
  marked_ = marked >= 0 && marked < static_cast<int>(ratings_.size()) ? marked : -1;
  update();
}

std::pair<double, double> RatingChart::Range() const {
  if (ratings_.empty()) return {0, 0};
  const auto [lowIt, highIt] = std::minmax_element(ratings_.begin(), ratings_.end());
  // Ratings are written with two decimals: closer than half a hundredth they read the same.
  if (*highIt - *lowIt < 0.005) return {*lowIt - 0.5, *highIt + 0.5};
  return {*lowIt, *highIt};
}

std::pair<QString, QString> RatingChart::AxisLabels() const {
  // Written as the grid writes ratings, with a decimal comma.
  const auto text = [](double v) {
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
  };
  const auto [low, high] = Range();
  return {text(high), text(low)};
}

QRectF RatingChart::Plot() const {
  const auto [highText, lowText] = AxisLabels();
  const QFontMetrics metrics(font());
  const int labelWidth =
      std::max(metrics.horizontalAdvance(highText), metrics.horizontalAdvance(lowText)) + 10;
  // The dots and the line's pen stay inside the frame on every side.
  const double inset = kDotRadius + 3;
  return QRectF(labelWidth + inset, 16 + inset, width() - labelWidth - 2 * inset - 4,
                height() - 26 - 2 * inset);
}

QPointF RatingChart::PointAt(size_t i) const {
  const QRectF plot = Plot();
  const auto [low, high] = Range();
  const double x = ratings_.size() <= 1
                       ? plot.center().x()
                       : plot.left() + plot.width() * static_cast<double>(i) /
                                           static_cast<double>(ratings_.size() - 1);
  const double y = i < ratings_.size() && high > low
                       ? plot.bottom() - plot.height() * (ratings_[i] - low) / (high - low)
                       : plot.center().y();
  return QPointF(x, y);
}

void RatingChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.fillRect(rect(), QColor(252, 252, 246));
  painter.setPen(QColor(150, 150, 150));
  painter.drawRect(frame);

  painter.setPen(QColor(90, 90, 90));
  const QString title = player_.isEmpty() ? WordText(kWordHistoryRating)
                                          : WordText(kWordHistoryRating) + ": " + player_;
  painter.drawText(rect().adjusted(4, 2, -4, 0), Qt::AlignHCenter | Qt::AlignTop,
                   painter.fontMetrics().elidedText(title, Qt::ElideRight, width() - 8));
  if (ratings_.empty()) return;

  const QRectF plot = Plot();
  const auto [highText, lowText] = AxisLabels();
  const double labelRight = plot.left() - kDotRadius - 7;
  painter.drawText(QRectF(0, plot.top() - 7, labelRight, 14), Qt::AlignRight | Qt::AlignVCenter,
                   highText);
  painter.drawText(QRectF(0, plot.bottom() - 7, labelRight, 14), Qt::AlignRight | Qt::AlignVCenter,
                   lowText);
  painter.setPen(QColor(215, 215, 205));
  const double lineLeft = plot.left() - kDotRadius - 3;
  const double lineRight = plot.right() + kDotRadius + 3;
  painter.drawLine(QPointF(lineLeft, plot.top()), QPointF(lineRight, plot.top()));
  painter.drawLine(QPointF(lineLeft, plot.bottom()), QPointF(lineRight, plot.bottom()));

  QPainterPath line(PointAt(0));
  for (size_t i = 1; i < ratings_.size(); ++i) line.lineTo(PointAt(i));
  painter.setPen(QPen(QColor(128, 0, 0), 1.6));
  painter.drawPath(line);
  painter.setPen(Qt::NoPen);
  if (ratings_.size() <= 60) {
    painter.setBrush(QColor(200, 40, 40));
    for (size_t i = 0; i < ratings_.size(); ++i)
      painter.drawEllipse(PointAt(i), kDotRadius, kDotRadius);
  }
  if (marked_ >= 0) {
    // The chosen match: a ring around its point.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 160), 1.4));
    painter.drawEllipse(PointAt(static_cast<size_t>(marked_)), kDotRadius + 2, kDotRadius + 2);
  }
}

HistoryWindow::HistoryWindow(const TSettings& settings, const std::filesystem::path& historyFolder,
                             QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordHistoryOfGames), 610, 40}, parent,
                AuxDesignOf(settings)),
      folder_(historyFolder) {
  setObjectName("FHistory");
  SetBodySize(kClientWidth, kBodyHeight);

  fileList_ = new QListWidget(Body());
  fileList_->setObjectName("FileList");
  fileList_->setFont(RoleFont(settings, FontRole::kConew, 13, true));
  fileList_->setSelectionMode(QAbstractItemView::SingleSelection);

  grid_ = new QTableWidget(0, kColumns, Body());
  grid_->setObjectName("SG");
  // A narrow face: the date column is 65 pixels wide.
  grid_->setFont(NamedFont(QStringLiteral("Arial"), 11));
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(19);
  grid_->horizontalHeader()->setSectionsClickable(true);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setFont(NamedFont(QStringLiteral("Arial"), 10, true));
  for (int c = 0; c < kColumns; ++c) {
    grid_->setHorizontalHeaderItem(c, new QTableWidgetItem(WordText(kHeaderWords[c])));
    grid_->setColumnWidth(c, kColumnWidths[c]);
  }
  // The grid and the list keep light paper in every window design: the colours of the type
  // column are chosen for it.
  QPalette gridPalette = grid_->palette();
  gridPalette.setColor(QPalette::Base, Qt::white);
  gridPalette.setColor(QPalette::Text, Qt::black);
  gridPalette.setColor(QPalette::Highlight, QColor(255, 230, 140));
  gridPalette.setColor(QPalette::HighlightedText, Qt::black);
  grid_->setPalette(gridPalette);
  fileList_->setPalette(gridPalette);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &HistoryWindow::SortByColumn);

  chart_ = new RatingChart(Body());
  connect(grid_, &QTableWidget::currentCellChanged, this, [this] { FollowChosenRow(); });

  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);

  ListFiles();

  const int listWidth = files_.size() > kFilesWithoutScrollBar ? kWideList : kNarrowList;
  const int listHeight = kBodyHeight - 2 * kMargin - kButtonHeight - 8;
  fileList_->setGeometry(kMargin, kMargin, listWidth, listHeight);
  ok->setGeometry(kMargin, kMargin + listHeight + 6, listWidth, kButtonHeight);
  const int gridLeft = kMargin + listWidth + kMargin;
  const int gridWidth = kClientWidth - gridLeft - kMargin;
  const int gridHeight = kBodyHeight - 2 * kMargin - kChartHeight - 6;
  grid_->setGeometry(gridLeft, kMargin, gridWidth, gridHeight);
  chart_->setGeometry(gridLeft, kMargin + gridHeight + 6, gridWidth, kChartHeight);

  if (!files_.empty()) {
    int row = static_cast<int>(files_.size()) - 1;
    for (size_t i = 0; i < files_.size(); ++i) {
      if (files_[i].number == g_chosenFile) row = static_cast<int>(i);
    }
    fileList_->setCurrentRow(row);
    ShowFile(files_[static_cast<size_t>(row)].number);
  }
  // Only the player's own choice is remembered: a window that opened on the newest file
  // opens on the newest one again next time.
  connect(fileList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(files_.size())) {
      g_chosenFile = files_[static_cast<size_t>(row)].number;
      ShowFile(g_chosenFile);
    }
  });
}

void HistoryWindow::ForgetChosenFile() {
  g_chosenFile = 0;
}

QString HistoryWindow::FileEntryText(int number, const QDate& date) {
  return WordText(kWordHistoryFilePrefix) + QStringLiteral("%1").arg(number, 4, 10, QChar('0')) +
         QLatin1Char(' ') + QLocale::system().toString(date, QLocale::ShortFormat);
}

void HistoryWindow::ListFiles() {
  files_ = ListHistoryFiles(folder_);
  fileList_->clear();
  if (files_.empty()) {
    auto* none = new QListWidgetItem(WordText(kWordNoHistoryFiles), fileList_);
    none->setFlags(Qt::NoItemFlags);
    return;
  }
  for (size_t i = 0; i < files_.size(); ++i) {
    const QFileInfo info(QString::fromStdString(files_[i].file.string()));
    auto* item =
        new QListWidgetItem(FileEntryText(files_[i].number, info.lastModified().date()), fileList_);
    item->setBackground(kListColours[i % 2]);
    item->setData(Qt::UserRole, files_[i].number);
  }
}

void HistoryWindow::ShowFile(int number) {
  // The file may have changed since it was listed: it is checked again before it is shown.
  const HistoryCheck check = CheckHistoryFile(HistoryFilePath(folder_, number));
  shownFile_ = check.valid ? number : 0;
  FillGrid(check.valid ? check.recordLines : std::vector<std::string>{});
}

void HistoryWindow::FillGrid(const std::vector<std::string>& recordLines) {
  grid_->clearContents();
  grid_->setRowCount(static_cast<int>(recordLines.size()));
  matches_.clear();
  const QColor textColour = grid_->palette().color(QPalette::Text);
  for (size_t i = 0; i < recordLines.size(); ++i) {
    const std::string& line = recordLines[i];
    const int row = static_cast<int>(i);
    const QString time = FromCp1251(kHistoryTimeColumn.Text(line));
    const QString date = FromCp1251(kHistoryDateColumn.Text(line));
    const QString players = FromCp1251(kHistoryPlayersColumn.Text(line));
    const QString games = FromCp1251(kHistoryGamesColumn.Text(line));
    const QString result = FromCp1251(kHistoryResultColumn.Text(line));
    const QString rating = FromCp1251(kHistoryRatingColumn.Text(line));
    const KindLook kind =
        LookOfKind(kHistoryKindColumn.Of(line).empty() ? ' ' : kHistoryKindColumn.Of(line).front());
    const QString type = kind.word >= 0 ? WordText(kind.word) : QString();

    grid_->setItem(row, kTime, new GridItem(time, time));
    // Records are kept oldest first, so the line order is the order in time.
    grid_->setItem(row, kDate, new GridItem(date, static_cast<double>(i)));
    grid_->setItem(row, kPlayers, new GridItem(players, players));
    grid_->setItem(row, kGames, new GridItem(games, NumberKey(games)));
    grid_->setItem(row, kResult, new GridItem(result, NumberKey(result)));
    grid_->setItem(row, kRating, new GridItem(rating, NumberKey(rating)));
    auto* typeItem = new GridItem(type, type);
    typeItem->setForeground(kind.colour.isValid() ? kind.colour : textColour);
    grid_->setItem(row, kType, typeItem);
    for (int c : {kGames, kResult, kRating}) {
      grid_->item(row, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    std::optional<double> ratingAfter;
    if (const auto record = ReadHistoryRecord(line)) ratingAfter = record->rating;
    matches_.push_back({players, ratingAfter});
  }
  if (sortColumn_ >= 0) {
    grid_->sortItems(sortColumn_, sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  if (grid_->rowCount() > 0) grid_->selectRow(sortColumn_ < 0 ? grid_->rowCount() - 1 : 0);
  grid_->scrollToItem(grid_->currentItem());
  FollowChosenRow();
}

void HistoryWindow::FollowChosenRow() {
  // The date column carries each row's place in the file, whatever the grid is sorted by.
  int chosen = static_cast<int>(matches_.size()) - 1;
  const int row = grid_->currentRow();
  if (row >= 0 && grid_->item(row, kDate) != nullptr) {
    chosen = static_cast<int>(grid_->item(row, kDate)->data(Qt::UserRole).toDouble());
  }
  if (chosen < 0 || chosen >= static_cast<int>(matches_.size())) {
    chart_->SetRatings(QString(), {});
    return;
  }
  const QString& player = matches_[static_cast<size_t>(chosen)].players;
  std::vector<double> ratings;
  int marked = -1;
  for (size_t i = 0; i < matches_.size(); ++i) {
    if (matches_[i].players != player || !matches_[i].rating) continue;
    if (static_cast<int>(i) == chosen) marked = static_cast<int>(ratings.size());
    ratings.push_back(*matches_[i].rating);
  }
  chart_->SetRatings(player, std::move(ratings), marked);
}

void HistoryWindow::SortByColumn(int column) {
  if (column < 0 || column >= kColumns) return;
  sortDescending_ = column == sortColumn_ ? !sortDescending_ : false;
  sortColumn_ = column;
  const Qt::SortOrder order = sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder;
  grid_->horizontalHeader()->setSortIndicatorShown(true);
  grid_->horizontalHeader()->setSortIndicator(column, order);
  grid_->sortItems(column, order);
}

void OpenHistoryWindow(const TSettings& settings, const QString& programDir, QWidget* parent) {
  const std::filesystem::path folder =
      std::filesystem::path(programDir.toStdString()) / kHistoryFolderName;
  HistoryWindow window(settings, folder, parent);
  ExecModal(window);
}

}  // namespace trilane
