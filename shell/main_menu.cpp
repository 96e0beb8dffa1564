#include "shell/main_menu.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTime>
#include <algorithm>

#include "base/rounding.h"
#include "program/menu_text.h"
#include "records/club_file.h"
#include "records/settings.h"
#include "shell/animation_label.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "shell/widgets/qor_button.h"
#include "words/words.h"

namespace trilane {
namespace {

int R(double v) {
  return static_cast<int>(RoundHalfEvenToInt(v));
}
int Channel(double v) {
  return std::clamp(R(v), 0, 255);
}

// The menu's pictures are designed as cell heights of the classic fonts; a pixel size of
// about four fifths of the cell gives the same look.
int PixelSizeForCell(int cell) {
  return std::max(8, R(cell * 0.8));
}

}  // namespace

void TintCaptionPicture(QImage& picture, int tint) {
  if (tint < 2 || tint > 8 || picture.isNull()) return;
  picture = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      int r = qRed(row[x]), g = qGreen(row[x]), b = qBlue(row[x]);
      switch (tint) {
        case 2:
          if (r > g && r > b) {
            b = R(0.7 * std::min(b, g));
            g = b + R(0.4 * (r - b));
          }
          break;
        case 3:
          g = r;
          break;
        case 4:
          std::swap(r, g);
          break;
        case 5: {
          const int oldR = r;
          r = b;
          g = oldR;
          b = oldR;
          break;
        }
        case 6:
          std::swap(r, b);
          break;
        case 7:
          b = r;
          break;
        case 8: {
          const int grey = Channel(0.3 * r + 0.59 * g + 0.11 * b);
          r = g = b = grey;
          break;
        }
      }
      row[x] = qRgba(r, g, b, qAlpha(row[x]));
    }
  }
}

MainMenu::MainMenu(const TSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("MainMenu");
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);

  title_ = new QLabel(this);
  title_->setObjectName("ImTitle");
  caption_ = new QLabel(this);
  caption_->setObjectName("ImCaption");
  caption_->setCursor(Qt::PointingHandCursor);
  caption_->installEventFilter(this);
  elite_ = new QLabel(this);
  elite_->setObjectName("ImElite");
  for (int i = 0; i < 3; ++i) {
    topThree_[i] = new QLabel(this);
    topThree_[i]->setObjectName(QString("Panel%1").arg(i + 1));
    topThree_[i]->setAlignment(Qt::AlignCenter);
  }
  leftAnimation_ = new AnimationLabel("GifMenu1", this);
  rightAnimation_ = new AnimationLabel("GifMenu2", this);
  leftAnimation_->KeyOutBackground();
  rightAnimation_->KeyOutBackground();
  timeClock_ = new TimeClock(this);
  infoClock_ = new InformationClock(this);
  timeClock_->hide();
  infoClock_->hide();
  clockTimer_.setInterval(50);
  connect(&clockTimer_, &QTimer::timeout, this, &MainMenu::TickClocks);

  for (int i = 0; i < 5; ++i) {
    members_[i] = MakeButton(QString("Button%1").arg(i + 1).toLatin1().constData(), true);
    connect(members_[i], &QAbstractButton::clicked, this, [this, i] {
      if (!empty_[i]) emit memberChosen(i + 1);
    });
  }
  newPlayer_ = MakeButton("Button6", true);
  header_ = MakeButton("Panel4", true);
  header_->SetBody(QorCardsButton::BodyColour::kBlue);
  header_->SetGreyWhenDisabled(false);
  header_->setEnabled(false);
  topTen_ = MakeButton("Button9", false);
  options_ = MakeButton("Button10", false);
  exit_ = MakeButton("Button11", false);
  mode_ = MakeButton("BMode", false);
  history_ = MakeButton("BHistory", false);
  topTen_->setToolTip("80");
  connect(newPlayer_, &QAbstractButton::clicked, this, &MainMenu::newPlayerChosen);
  connect(topTen_, &QAbstractButton::clicked, this, &MainMenu::topTenChosen);
  connect(options_, &QAbstractButton::clicked, this, &MainMenu::optionsChosen);
  connect(exit_, &QAbstractButton::clicked, this, &MainMenu::exitChosen);
  connect(mode_, &QAbstractButton::clicked, this, &MainMenu::modeChosen);
  connect(history_, &QAbstractButton::clicked, this, &MainMenu::historyChosen);
  MakeWebPictures();
}

QorCardsButton* MainMenu::MakeButton(const char* name, bool member) {
  auto* button = new QorCardsButton(this);
  button->setObjectName(name);
  if (member) {
    button->SetBody(QorCardsButton::BodyColour::kNavy);
    button->SetCaptionColour(QColor(0, 255, 255));
  } else {
    button->SetBody(QorCardsButton::BodyColour::kRed);
    button->SetCaptionColour(Qt::white);
  }
  button->SetHoverColour(QColor(255, 255, 0));
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

void MainMenu::ApplyFonts() {
  const bool small = settings_.WindowSize == 1;
  const double d = small ? 1.0 : 0.9;
  const int decor =
      PixelSizeForCell(R(FontHeight(settings_, 20, FontRole::kDecor) * layout_.Kc() * d));
  const QFont bold = RoleFont(settings_, FontRole::kDecor, decor, true);
  for (QorCardsButton* b : {newPlayer_, topTen_, options_, exit_, mode_, history_})
    b->setFont(bold);
  // The member lines need a fixed pitch so their columns line up: the "fixed" face in the
  // small window, the "conew" face in the others. The fixed face is drawn at 16 pixels, its
  // one good size.
  QFont fixed =
      small ? RoleFont(settings_, FontRole::kFixed,
                       R(FontHeight(settings_, 11, FontRole::kFixed) * 16 / 11.0), false)
            : RoleFont(
                  settings_, FontRole::kConew,
                  PixelSizeForCell(FontHeight(settings_, R(16 * layout_.Kc()), FontRole::kConew)),
                  true);
  for (QorCardsButton* b : members_) b->setFont(fixed);
  header_->setFont(fixed);
  QFont panel = fixed;
  panel.setBold(true);
  for (QLabel* l : topThree_) l->setFont(panel);
}

void MainMenu::Build(const Layout& layout, const ClubFile* club) {
  layout_ = layout;
  const double kx = layout.Kx(), ky = layout.Ky(), kc = layout.Kc();
  const int h = R(30 * kc);
  const int y0 = R(265 * ky);
  ApplyFonts();

  title_->setGeometry(R(230 * kx), R(90 * ky) - R(5 * kc), R(300 * kx), 3 * h);
  title_->setPixmap(QPixmap::fromImage(ProgramPng("GTitle").scaled(
      title_->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  // The top three have their panels over the title picture; the menu keeps them hidden
  // (the trophies are there) and the "Top Ten" window shows them.
  for (int i = 0; i < 3; ++i) {
    topThree_[i]->setGeometry(R(230 * kx), R(90 * ky) + i * h, R(300 * kx), h);
    topThree_[i]->hide();
  }
  for (int i = 0; i < 5; ++i) members_[i]->setGeometry(R(180 * kx), y0 + i * h, R(400 * kx), h);
  newPlayer_->setGeometry(R(280 * kx), y0 + 5 * h + R(10 * kc), R(200 * kx), h);
  header_->setGeometry(R(180 * kx), y0 - h - R(10 * kc), R(400 * kx), h);
  topTen_->setGeometry(R(40 * kx), R(225 * ky), R(100 * kx), h);
  history_->setGeometry(R(40 * kx), R(255 * ky), R(100 * kx), h);
  options_->setGeometry(R(620 * kx), R(225 * ky), R(100 * kx), h);
  mode_->setGeometry(R(620 * kx), R(255 * ky), R(100 * kx), h);
  exit_->setGeometry(R(330 * kx), R(465 * ky), R(100 * kx), h);
  // The card pictures beside the list keep their own size and stay centred in the space
  // the window's stretch gives them, over the resting pictures the main window paints.
  leftAnimation_->setGeometry(R(7 * kx) + R((kx - 1) * 80), R(290 * ky) + R((ky - 1) * 100), 160,
                              200);
  rightAnimation_->setGeometry(R(592 * kx) + R((kx - 1) * 80), R(290 * ky) + R((ky - 1) * 100), 160,
                               200);
  SetAnimationsRunning(settings_.GifAnimationOn);

  caption_->setGeometry(layout.ScaledRect(180, 12, 580, 82));
  elite_->setGeometry(layout.ScaledRect(205, 183, 555, 223));
  RefreshCaptions();

  newPlayer_->setText(WordText(kWordNewPlayer));
  topTen_->setText(WordText(kWordTopTen));
  options_->setText(WordText(kWordOptions));
  exit_->setText(WordText(kWordExit));
  mode_->setText(WordText(kWordMode));
  history_->setText(WordText(kWordHistory));
  options_->setEnabled(optionsAvailable_);
  history_->setEnabled(historyAvailable_);
  FillMembers(club);
  PlaceClocks();
  PlaceWebPictures();
  PlaceAccountIndicator();
}

void MainMenu::PlaceClocks() {
  // Only the larger windows have room for the clocks: sizes 4 and 5, or a full screen
  // larger than 1290 x 850, and never while the controls are drawn below 1.6 times.
  const QSize client = parentWidget() ? parentWidget()->size() : size();
  const int windowSize = settings_.WindowSize;
  const bool large = windowSize == 4 || windowSize == 5 ||
                     (windowSize == kFullScreen && client.width() > 1290 && client.height() > 850);
  clocksShown_ = large && layout_.Kc() >= 1.6;
  timeClock_->setVisible(clocksShown_);
  infoClock_->setVisible(clocksShown_);
  if (!clocksShown_) {
    clockTimer_.stop();
    return;
  }
  // Each clock stands centred over its column of buttons ("Top Ten" on the left, "Options"
  // on the right), halfway down the free space above it.
  auto place = [](QWidget* clock, const QRect& button) {
    clock->move(button.left() + (button.width() - kMenuClockWidth) / 2,
                std::max(0, (button.top() - kMenuClockHeight) / 2));
  };
  place(timeClock_, topTen_->geometry());
  place(infoClock_, options_->geometry());
  timeClock_->Refresh(QTime::currentTime());
  minuteAsked_ = false;
  emit informationWanted(QTime::currentTime().minute());
  if (isVisible()) clockTimer_.start();
}

void MainMenu::TickClocks() {
  const QTime now = QTime::currentTime();
  timeClock_->Refresh(now);
  if (now.second() != 1) {
    minuteAsked_ = false;
  } else if (!minuteAsked_) {
    minuteAsked_ = true;
    emit informationWanted(now.minute());
  }
}

void MainMenu::SetInformationFace(const InformationFace& face) {
  infoClock_->SetFace(face);
}

void MainMenu::showEvent(QShowEvent* event) {
  if (clocksShown_) {
    timeClock_->Refresh(QTime::currentTime());
    clockTimer_.start();
  }
  QWidget::showEvent(event);
}

void MainMenu::hideEvent(QHideEvent* event) {
  clockTimer_.stop();
  QWidget::hideEvent(event);
}

void MainMenu::RefreshCaptions() {
  const std::string suffix(PictureSuffix());
  QImage cap = ProgramPng("Cap" + suffix);
  QImage elite = ProgramPng((settings_.NetMode ? "Net__" : "Elite") + suffix);
  TintCaptionPicture(cap, settings_.CaptionTint);
  TintCaptionPicture(elite, settings_.CaptionTint);
  auto put = [](QLabel* label, const QImage& picture) {
    if (picture.isNull()) {
      label->clear();
      return;
    }
    label->setPixmap(QPixmap::fromImage(
        picture.scaled(label->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  };
  put(caption_, cap);
  put(elite_, elite);
}

void MainMenu::SetExtraWindowsAvailable(bool options, bool history) {
  optionsAvailable_ = options;
  historyAvailable_ = history;
  options_->setEnabled(options);
  history_->setEnabled(history);
}

void MainMenu::SetAnimationsRunning(bool running) {
  // Stopped, the animations give way to the resting pictures the main window paints.
  leftAnimation_->setVisible(running);
  rightAnimation_->setVisible(running);
  leftAnimation_->SetRunning(running);
  rightAnimation_->SetRunning(running);
  if (chat_) chat_->SetRunning(running && !chatNews_);
}

void MainMenu::SetAccountIndicator(int state, const QString& hint) {
  accountState_ = std::clamp(state, 1, 3);
  if (!account_) {
    account_ = new QLabel(this);
    account_->setObjectName("ImAc");
    account_->setCursor(Qt::PointingHandCursor);
    account_->installEventFilter(this);
  }
  // The lamp sits on the right half of the picture, at x 24.
  QImage picture = ProgramPng("Account48");
  if (picture.isNull()) picture = QImage(48, 48, QImage::Format_ARGB32);
  picture = picture.convertToFormat(QImage::Format_ARGB32);
  const char* lamps[] = {"LampR24", "LampY24", "LampG24"};
  const char* stars[] = {"StarR0", "StarY0", "StarG0"};
  {
    QPainter painter(&picture);
    painter.drawImage(24, 24, ProgramPng(lamps[accountState_ - 1]));
  }
  account_->setPixmap(QPixmap::fromImage(picture));
  account_->setToolTip(hint);
  account_->setProperty("state", accountState_);
  delete accountStar_;
  accountStar_ = new AnimationLabel(stars[accountState_ - 1], this);
  accountStar_->setObjectName("ImAcStar");
  accountStar_->setToolTip(hint);
  accountStar_->KeyOutBackground();
  PlaceAccountIndicator();
}

void MainMenu::PlaceAccountIndicator() {
  if (!account_) return;
  // Above the "Top Ten" column, clear of the caption picture and the clocks' places.
  const QRect icon = layout_.ScaledRect(20, 20, 68, 68);
  account_->setGeometry(icon);
  account_->setScaledContents(true);
  const int star = std::max(24, icon.width() * 2 / 3);
  accountStar_->setGeometry(icon.right() + 4, icon.top() + (icon.height() - star) / 2, star, star);
  account_->show();
  accountStar_->show();
  accountStar_->SetRunning(isVisible() && settings_.GifAnimationOn);
  if (!settings_.GifAnimationOn) accountStar_->ShowFrame(0);
}

void MainMenu::SetAccountLine(const QString& caption) {
  QorCardsButton* line = members_[4];
  accountLine_ = !caption.isEmpty();
  if (!accountLine_) {
    line->SetBody(QorCardsButton::BodyColour::kNavy);
    return;
  }
  line->SetBody(QorCardsButton::BodyColour::kRed);
  line->setText(caption);
  line->setCursor(Qt::PointingHandCursor);
  // The account's own game starts from this line, whatever the club file holds there.
  empty_[4] = false;
}

void MainMenu::FillMembers(const ClubFile* club) {
  const int mode = settings_.MenuMode == 2 ? 2 : 1;
  const std::string_view header = WordRow(kWordMembersHeader, mode - 1);
  header_->setText(FromUtf8(header));

  const QFontMetrics metrics(members_[0]->font());
  // The limits were made for the small window's buttons; they grow with the window.
  const int memberLimit = R(361 * layout_.Kx());
  const int panelLimit = R(251 * layout_.Kx());
  auto width = [&metrics](std::string_view bytes) {
    return metrics.horizontalAdvance(FromCp1251(bytes));
  };
  for (int i = 0; i < 5; ++i) {
    std::string line = club ? club->lines[i] : std::string(kEmptyMemberLine);
    empty_[i] = !club || ReadMember(*club, i + 1).empty;
    std::string caption = ShortenToFit(MemberCaption(line, mode), memberLimit, width);
    members_[i]->setText(FromCp1251(caption));
    members_[i]->setCursor(empty_[i] ? Qt::ArrowCursor : Qt::PointingHandCursor);
  }
  const QColor panelColour = settings_.NewButtons ? QColor(255, 255, 255) : QColor(255, 200, 255);
  for (int i = 0; i < 3; ++i) {
    QLabel* panel = topThree_[i];
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, panelColour);
    panel->setPalette(palette);
    if (!club) {
      panel->clear();
      continue;
    }
    const std::string caption = ShortenToFit(TopTenCaption(club->lines[5 + i]), panelLimit, width);
    // Trailing blanks of the name are kept: the values line up under each other.
    panel->setText(FromCp1251(caption));
  }
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == caption_ && event->type() == QEvent::MouseButtonRelease) {
    emit captionClicked();
    return true;
  }
  if (WebPictureClicked(watched, event)) return true;
  if (watched == account_ && event->type() == QEvent::MouseButtonRelease) {
    emit accountChosen();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- The web pictures ----

void MainMenu::MakeWebPictures() {
  auto picture = [this](const char* name, const char* resource) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignCenter);
    label->setProperty("resource", QString::fromLatin1(resource));
    label->installEventFilter(this);
    return label;
  };
  tournament_ = picture("ImTR", "GIconTour");
  worldTop_ = picture("ImageAdvR2", "GIconTop");
  stats_ = picture("ImageAdvR3", "GIconStat");
  chat_ = new AnimationLabel("GIconChat", this);
  chat_->setObjectName("RxGIFAnChat");
  chat_->setCursor(Qt::PointingHandCursor);
  chat_->KeyOutBackground();
  chat_->installEventFilter(this);
  siren_ = new AnimationLabel("GSirenaR", this);
  siren_->setObjectName("GSirenaR");
  siren_->setCursor(Qt::PointingHandCursor);
  siren_->KeyOutBackground();
  siren_->installEventFilter(this);
  siren_->hide();
}

void MainMenu::PlaceWebPictures() {
  if (!tournament_) return;
  const double kc = layout_.Kc();
  // The pictures grow with the window, but not into blurs: at most 64 pixels.
  const int side = std::min(R(48 * kc), 64);
  const int gap = std::max(4, R(6 * kc));
  const int bottom = topTen_->geometry().top() - R(12 * layout_.Ky());
  // Left of the list, over "Top Ten": the online tournament and the board (the account
  // indicator has the corner above them); right of it, over "Options": the world top ten and
  // the statistics.
  auto row = [&](const QRect& button, std::initializer_list<QWidget*> pictures, int places) {
    const int width = places * side + (places - 1) * gap;
    int left = button.center().x() - width / 2 +
               (places - static_cast<int>(pictures.size())) * (side + gap);
    for (QWidget* p : pictures) {
      p->setGeometry(left, bottom - side, side, side);
      left += side + gap;
    }
  };
  row(topTen_->geometry(), {tournament_, chat_}, 2);
  siren_->setGeometry(chat_->geometry());
  row(options_->geometry(), {worldTop_, stats_}, 2);
  for (QLabel* label : {tournament_, worldTop_, stats_}) {
    const QImage image = ProgramPng(label->property("resource").toString().toStdString());
    label->setPixmap(QPixmap::fromImage(
        image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    label->show();
  }
  chat_->setVisible(!chatNews_);
  siren_->setVisible(chatNews_);
  TranslateWebPictures();
}

void MainMenu::TranslateWebPictures() {
  tournament_->setToolTip(WordText(kWordOnlineTournament));
  worldTop_->setToolTip(WordText(kWordWorldTopTenIcon));
  stats_->setToolTip(WordText(kWordStatistics));
  chat_->setToolTip(WordText(kWordChat));
  siren_->setToolTip(WordText(kWordQorChatNews));
}

void MainMenu::SetChatNews(bool news) {
  chatNews_ = news;
  if (!chat_) return;
  chat_->setVisible(!news);
  siren_->setVisible(news);
  siren_->SetRunning(news);
  chat_->SetRunning(!news && settings_.GifAnimationOn);
}

bool MainMenu::WebPictureClicked(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonRelease) return false;
  if (watched == tournament_) {
    emit tournamentChosen();
  } else if (watched == worldTop_) {
    emit worldTopChosen();
  } else if (watched == stats_) {
    emit statsChosen();
  } else if (watched == chat_ || watched == siren_) {
    emit chatChosen();
  } else {
    return false;
  }
  return true;
}

}  // namespace trilane
