#include "shell/world/world_top_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "program/club_access.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/world/world_drawing.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kFullWidth = 700;
constexpr int kCompactWidth = 640;
constexpr int kBodyHeight = 556;
constexpr int kButtonsTop = 512;
// The full layout's pictures, in the body.
const QRect kUpper(140, 40, 540, 324);
const QRect kLower(140, 372, 540, 128);
// The compact layout's one picture and its three table icons.
const QRect kCompactPicture(0, 0, kCompactWidth, 504);
constexpr int kCompactIconLeft = 105;
constexpr int kCompactIconTops[3] = {300, 350, 400};
constexpr WorldCategory kCompactTables[3] = {
    WorldCategory::kWindowsCycles, WorldCategory::kAndroidCycles, WorldCategory::kAccountCycles};
constexpr int kRowStep = 31;
constexpr int kCompactRowStep = 24;

const QColor kPictureColour(255, 255, 245);
const QColor kFrameColour(128, 0, 0);

}  // namespace

WorldTopWindow::WorldTopWindow(WorldServices& services, WorldCategory start, bool compact,
                               QWidget* parent)
    : AuxWindow(services.Settings(), AuxHeader{WordText(kWordWorldTopTenTitle), 430, 40}, parent),
      services_(services),
      compact_(compact) {
  setObjectName("FormServerRead");
  static constexpr const char* kLetters[7] = {"A", "B", "C", "D", "E", "F", "G"};
  // Each category's button carries the picture of where its results come from.
  static constexpr const char* kGlyphs[7] = {"Account48", "Account48", "Windows", "Android",
                                             "GIconTour", "GIconTop",  "GIconTop"};
  for (int i = 0; i < 7; ++i) {
    auto* button = MakeButton(QString::fromLatin1(kLetters[i]), Body());
    const QImage glyph = ProgramPng(kGlyphs[i]);
    if (!glyph.isNull()) {
      button->SetGlyph(
          QPixmap::fromImage(glyph.scaled(22, 22, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(QStringLiteral("RxGIFAn") + kLetters[i]);
    const auto category = static_cast<WorldCategory>(i + 1);
    button->setToolTip(WordText(CategoryTitleEntry(category)));
    connect(button, &QAbstractButton::clicked, this, [this, category] {
      services_.PlaySound(TableSound::kOpenWindow);
      ShowCategory(category);
    });
    categoryButtons_[i] = button;
  }
  static constexpr int kListWords[3] = {kWordOnlineTopScore, kWordOnlineTopRating,
                                        kWordOnlineTopGames};
  for (int i = 0; i < 3; ++i) {
    auto* button = MakeButton(WordText(kListWords[i]), Body());
    button->setObjectName(QStringLiteral("OnlineList%1").arg(i + 1));
    connect(button, &QAbstractButton::clicked, this, [this, i] { ChooseOnlineList(i); });
    onlineButtons_[i] = button;
  }
  passport_ = MakeButton(WordText(kWordPassport), Body());
  passport_->setObjectName("Button2");
  passport_->setEnabled(static_cast<bool>(services_.openPassport));
  connect(passport_, &QAbstractButton::clicked, this, [this] {
    if (!services_.openPassport) return;
    services_.PlaySound(TableSound::kOpenWindow);
    services_.openPassport(this);
    Refresh();
  });
  refresh_ = MakeButton(WordText(kWordRefresh), Body());
  refresh_->setObjectName("BRefresh");
  refresh_->hide();
  connect(refresh_, &QAbstractButton::clicked, this, [this] {
    refresh_->hide();
    Refresh();
  });
  // The refresh button comes back every ten seconds, so a player cannot hammer the service.
  refreshTimer_.setInterval(10000);
  connect(&refreshTimer_, &QTimer::timeout, refresh_, &QWidget::show);
  refreshTimer_.start();
  ok_ = MakeButton(WordText(kWordOk), Body());
  ok_->setObjectName("Button1");
  connect(ok_, &QAbstractButton::clicked, this, &QDialog::accept);
  ok_->setFocus();

  compactIcons_ = {ProgramPng("Windows"), ProgramPng("Android"), ProgramPng("Account48")};
  Layout();
  ShowCategory(start);
}

void WorldTopWindow::Layout() {
  SetBodySize(compact_ ? kCompactWidth : kFullWidth, kBodyHeight);
  for (int i = 0; i < 7; ++i) {
    categoryButtons_[i]->setGeometry(12, 40 + i * 38, 116, 32);
    categoryButtons_[i]->setVisible(!compact_);
  }
  for (int i = 0; i < 3; ++i) onlineButtons_[i]->setGeometry(12, 320 + i * 36, 116, 30);
  const int width = compact_ ? kCompactWidth : kFullWidth;
  passport_->setGeometry(compact_ ? 20 : 140, kButtonsTop, 150, 34);
  refresh_->setGeometry(width / 2 - 60 + (compact_ ? 0 : 60), kButtonsTop, 120, 34);
  ok_->setGeometry(width - 20 - 130, kButtonsTop, 130, 34);
}

std::optional<WorldIdentity> WorldTopWindow::OwnIdentity(WorldCategory category) const {
  // The account's table shows the signed-in account's entries; the others the passport's.
  if (category == WorldCategory::kAccountCycles) {
    return services_.account ? services_.account() : std::nullopt;
  }
  return PassportOf(services_.Settings());
}

void WorldTopWindow::ShowCategory(WorldCategory category) {
  const int number = static_cast<int>(category);
  if (number < 1 || number > 7) category = WorldCategory::kWindowsCycles;
  if (number >= 2 && number <= 4) services_.lastCategory = number;
  ClubFilePtr club;
  if (category == WorldCategory::kLocal || category == WorldCategory::kNet) {
    club = LoadClubInUse(services_.ProgramFolder(), category == WorldCategory::kNet);
  }
  read_ = ReadWorldCategory(services_.Client(), category, OnlineListSelector(onlineList_),
                            OwnIdentity(category), club.get());
  for (int i = 0; i < 3; ++i) {
    onlineButtons_[i]->setVisible(!compact_ && category == WorldCategory::kOnline);
    onlineButtons_[i]->SetCaptionColour(i == onlineList_ ? QColor(255, 255, 0)
                                                         : QColor(255, 255, 255));
  }
  for (int i = 0; i < 7; ++i) {
    // The chosen category's button is drawn pressed in yellow.
    categoryButtons_[i]->SetCaptionColour(
        i + 1 == static_cast<int>(category) ? QColor(255, 255, 0) : QColor(255, 255, 255));
  }
  update();
}

void WorldTopWindow::ChooseOnlineList(int index) {
  onlineList_ = std::clamp(index, 0, 2);
  services_.PlaySound(TableSound::kOpenWindow);
  ShowCategory(WorldCategory::kOnline);
}

void WorldTopWindow::Refresh() {
  ShowCategory(read_.category);
}

std::optional<WorldCategory> WorldTopWindow::CompactIconAt(QPoint p) {
  for (int i = 0; i < 3; ++i) {
    const QRect icon(kCompactIconLeft, kCompactIconTops[i], 48, 48);
    if (icon.contains(p)) return kCompactTables[i];
  }
  return std::nullopt;
}

void WorldTopWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (compact_) {
    const QPoint inPicture = event->position().toPoint() - QPoint(0, HeaderHeight());
    if (const auto table = CompactIconAt(inPicture)) {
      services_.PlaySound(TableSound::kOpenWindow);
      ShowCategory(*table);
      return;
    }
  }
  AuxWindow::mouseReleaseEvent(event);
}

void WorldTopWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int top = HeaderHeight();
  if (compact_) {
    PaintCompact(painter, top);
  } else {
    PaintFull(painter, top);
  }
}

void WorldTopWindow::PaintList(QPainter& painter, const WorldList& list, QRect area,
                               const RowColumns& columns, int rowStep, int maxRows) {
  if (list.failed) {
    DrawNoConnect(painter, area);
    return;
  }
  int row = 0;
  for (const WorldRow& entry : list.rows) {
    if (row >= maxRows) break;
    painter.setPen(row < 3 ? QColor(160, 0, 0) : QColor(0, 0, 80));
    DrawWorldRow(painter, entry, columns, area.left(), area.top() + rowStep / 2 + row * rowStep);
    ++row;
  }
}

void WorldTopWindow::PaintFull(QPainter& painter, int top) {
  const QFont titleFont = RoleFont(settings_, FontRole::kDecor, 17, true);
  painter.setFont(titleFont);
  painter.setPen(kFrameColour);
  painter.drawText(QRect(kUpper.left(), top + 4, kUpper.width(), 32), Qt::AlignCenter,
                   WordText(CategoryTitleEntry(read_.category)));

  const QRect upper = kUpper.translated(0, top);
  painter.fillRect(upper, kPictureColour);
  painter.setPen(kFrameColour);
  painter.drawRect(upper.adjusted(0, 0, -1, -1));
  painter.setFont(RoleFont(settings_, FontRole::kConew, 15, true));
  PaintList(painter, read_.list, upper.adjusted(0, 2, 0, 0), RowColumns{}, kRowStep, 10);

  if (!read_.hasOwn) return;
  const QRect lower = kLower.translated(0, top);
  painter.fillRect(lower, kPictureColour);
  painter.setPen(kFrameColour);
  painter.drawRect(lower.adjusted(0, 0, -1, -1));
  if (!read_.count && read_.list.failed) {
    DrawNoConnect(painter, lower);
    return;
  }
  painter.setPen(QColor(0, 0, 128));
  const QString count = WordText(kWordNumberOfGames) + ": " +
                        (read_.count ? QString::number(*read_.count) : WordText(kWordNoConnect));
  painter.drawText(lower.left() + 15, lower.top() + 22, count);
  PaintList(painter, read_.own, lower.adjusted(0, 32, 0, 0), RowColumns{}, kRowStep, 3);
}

void WorldTopWindow::PaintCompact(QPainter& painter, int top) {
  const QRect picture = kCompactPicture.translated(0, top);
  painter.fillRect(picture.adjusted(8, 4, -8, 0), kPictureColour);
  painter.setPen(kFrameColour);
  painter.drawRect(picture.adjusted(8, 4, -9, -1));
  for (int i = 0; i < 3; ++i) {
    const QRect icon(kCompactIconLeft, top + kCompactIconTops[i], 48, 48);
    if (read_.category == kCompactTables[i]) {
      painter.fillRect(icon.adjusted(-3, -3, 3, 3), QColor(255, 220, 120));
    }
    painter.drawImage(icon, compactIcons_[i]);
  }
  painter.setFont(RoleFont(settings_, FontRole::kDecor, 15, true));
  painter.setPen(kFrameColour);
  painter.drawText(QRect(160, top + 8, kCompactWidth - 176, 24), Qt::AlignCenter,
                   WordText(CategoryTitleEntry(read_.category)));
  painter.setFont(RoleFont(settings_, FontRole::kConew, 13, true));
  const RowColumns columns{0, 30, 50, 72, 250, 465};
  const QRect list(165, top + 36, kCompactWidth - 175, 10 * kCompactRowStep);
  PaintList(painter, read_.list, list, columns, kCompactRowStep, 10);
  if (!read_.hasOwn || read_.list.failed) return;
  painter.setPen(QColor(0, 0, 128));
  const QString count = WordText(kWordNumberOfGames) + ": " +
                        (read_.count ? QString::number(*read_.count) : WordText(kWordNoConnect));
  painter.drawText(165, top + 36 + 10 * kCompactRowStep + 22, count);
  PaintList(painter, read_.own, QRect(165, top + 36 + 11 * kCompactRowStep + 8, list.width(), 96),
            columns, kCompactRowStep, 4);
}

}  // namespace trilane
