#include "shell/end_game_window.h"

#include "table/table_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "words/words.h"

namespace trilane {

CycleVerdict VerdictFor(int place) {
  if (place == 1) return CycleVerdict::kBest;
  if (place >= 2 && place <= 10) return CycleVerdict::kGood;
  return CycleVerdict::kRegrets;
}

std::vector<int> VerdictLines(const EndOfCycle& cycle) {
  switch (VerdictFor(cycle.place)) {
    case CycleVerdict::kBest:
      return {kWordCongratulations, kWordResultIsBest,
              cycle.account ? kWordBecomeVicePresident
                            : (cycle.net ? kWordBecomeBachelor : kWordBecomeMaster)};
    case CycleVerdict::kGood:
      return {kWordCongratulations, kWordGoodResult, kWordInTopTen};
    case CycleVerdict::kRegrets:
      break;
  }
  return {kWordOurRegrets, kWordResultCouldBeBetter, kWordNotInTopTen};
}

std::string_view VerdictPicture(CycleVerdict verdict) {
  switch (verdict) {
    case CycleVerdict::kBest:
      return "GEndBest";
    case CycleVerdict::kGood:
      return "GEndGood";
    case CycleVerdict::kRegrets:
      break;
  }
  return "GEndBads";
}

std::string_view VerdictSound(CycleVerdict verdict) {
  switch (verdict) {
    case CycleVerdict::kBest:
      return SoundResourceName(TableSound::kCycleBest);
    case CycleVerdict::kGood:
      return SoundResourceName(TableSound::kCycleGood);
    case CycleVerdict::kRegrets:
      break;
  }
  return SoundResourceName(TableSound::kCycleRegrets);
}

namespace {

// The medal with the place's number on it.
QPixmap MedalPicture(int place) {
  QImage medal = ProgramPng("GMedal");
  if (medal.isNull()) return {};
  char name[16];
  std::snprintf(name, sizeof name, "GPlace%02d", place);
  const QImage number = ProgramPng(name);
  if (!number.isNull()) {
    QPainter painter(&medal);
    painter.drawImage((medal.width() - number.width()) / 2, (medal.height() - number.height()) / 2,
                      number);
  }
  return QPixmap::fromImage(medal);
}

}  // namespace

EndGameWindow::EndGameWindow(const TSettings& settings, const EndOfCycle& cycle, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordCompletionOfGame), 550, 36}, parent) {
  setObjectName("FormEndGame");
  const CycleVerdict verdict = VerdictFor(cycle.place);

  auto* outer = new QVBoxLayout(Body());
  outer->setContentsMargins(20, 14, 20, 14);
  auto* row = new QHBoxLayout;
  outer->addLayout(row);

  auto* picture = new QLabel(Body());
  picture->setObjectName("ImageResult");
  picture->setPixmap(QPixmap::fromImage(ProgramPng(VerdictPicture(verdict))));
  picture->setFixedSize(128, 128);
  row->addWidget(picture, 0, Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  row->addLayout(texts, 1);
  const std::vector<int> lines = VerdictLines(cycle);
  for (size_t i = 0; i < lines.size(); ++i) {
    auto* label = new QLabel(WordText(lines[i]), Body());
    label->setObjectName(QString("Label%1").arg(i + 1));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    QFont font = RoleFont(settings, FontRole::kDecor, i == 0 ? 22 : 17, true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, i == 0 ? QColor(150, 0, 0) : QColor(0, 0, 110));
    label->setPalette(palette);
    texts->addWidget(label);
  }
  QString figures = WordText(kWordResultLabel) + QString::number(cycle.cycleScore);
  if (cycle.place >= 1) figures += " ; " + WordText(kWordPlaceLabel) + QString::number(cycle.place);
  auto* result = new QLabel(figures, Body());
  result->setObjectName("LabelResult");
  result->setAlignment(Qt::AlignCenter);
  result->setFont(RoleFont(settings, FontRole::kDecor, 17, true));
  texts->addWidget(result);

  if (cycle.place >= 1 && cycle.place <= 10) {
    auto* medal = new QLabel(Body());
    medal->setObjectName("ImageMedal");
    medal->setPixmap(MedalPicture(cycle.place));
    medal->setFixedSize(96, 96);
    row->addWidget(medal, 0, Qt::AlignTop);
  }

  int height = 230;
  if (cycle.bonus > 0) {
    // The bonus the account's place earned: the coin, the words and the pile.
    auto* bonus = new QHBoxLayout;
    auto* coin = new QLabel(Body());
    coin->setObjectName("ImageQors");
    coin->setPixmap(QPixmap::fromImage(ProgramPng("GQors128"))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* words = new QLabel(WordText(kWordYouGet) + " " + QString::number(cycle.bonus) + " " +
                                 WordText(kWordQors) + "!!!",
                             Body());
    words->setObjectName("LabelBonus");
    words->setAlignment(Qt::AlignCenter);
    words->setFont(RoleFont(settings, FontRole::kDecor, 22, true));
    QPalette palette = words->palette();
    palette.setColor(QPalette::WindowText, QColor(150, 0, 0));
    words->setPalette(palette);
    auto* pile = new QLabel(Body());
    pile->setPixmap(QPixmap::fromImage(ProgramPng("GQorsT128"))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    bonus->addWidget(coin);
    bonus->addWidget(words, 1);
    bonus->addWidget(pile);
    outer->addLayout(bonus);
    height += 76;
  }

  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  ok->setFixedSize(140, 30);
  outer->addStretch(1);
  outer->addWidget(ok, 0, Qt::AlignHCenter);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  SetBodySize(550, height);
}

}  // namespace trilane
