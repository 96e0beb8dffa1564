#include "shell/table/general_score_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "words/words.h"

namespace trilane {

GeneralScoreWindow::GeneralScoreWindow(const TSettings& settings, const QString& playerName,
                                       const GeneralScoreFigures& figures, QWidget* parent)
    : AuxWindow(settings, AuxHeader{QStringLiteral("INFO"), 300, 40}, parent) {
  setObjectName(QStringLiteral("FormCount"));
  setWindowTitle(WordText(kWordPlayer) + QStringLiteral(":  ") + playerName);
  SetBodySize(325, 500 - HeaderHeight());

  auto* outer = new QVBoxLayout(Body());
  outer->setContentsMargins(16, 10, 16, 14);
  auto* heading = new QLabel(WordText(kWordGameInformation), Body());
  heading->setObjectName(QStringLiteral("LabelHeading"));
  heading->setAlignment(Qt::AlignCenter);
  heading->setWordWrap(true);
  heading->setFont(RoleFont(settings, FontRole::kDecor, 18, true));
  outer->addWidget(heading);
  auto* name = new QLabel(WordText(kWordPlayer) + QStringLiteral(":  ") + playerName, Body());
  name->setObjectName(QStringLiteral("LabelPlayer"));
  name->setAlignment(Qt::AlignCenter);
  outer->addWidget(name);
  outer->addSpacing(8);

  const std::pair<int, const std::string*> rows[] = {
      {kWordGeneralGameCount, &figures.roundsInAll},
      {kWordRoundInCycle, &figures.roundsThisMatch},
      {kWordInitialScoreLabel, &figures.scoreAtStart},
      {kWordCurrentScoreLabel, &figures.scoreThisMatch},
      {kWordGeneralScoreLabel, &figures.scoreInAll},
      {kWordInitialRatingLabel, &figures.ratingAtStart},
      {kWordCurrentRatingLabel, &figures.ratingNow},
  };
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(12);
  int row = 0;
  for (const auto& [entry, value] : rows) {
    auto* caption = new QLabel(WordText(entry), Body());
    caption->setWordWrap(true);
    caption->setFont(RoleFont(settings, FontRole::kDecor, 14, true));
    auto* figure = new QLabel(QString::fromStdString(*value).trimmed(), Body());
    figure->setObjectName(QStringLiteral("LabelValue%1").arg(row + 1));
    figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    figure->setFont(RoleFont(settings, FontRole::kFixed, 16, true));
    figure->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    figure->setAccessibleName(WordText(entry) + QLatin1Char(' ') + figure->text());
    grid->addWidget(caption, row, 0);
    grid->addWidget(figure, row, 1);
    ++row;
  }
  grid->setColumnStretch(0, 1);
  outer->addLayout(grid);
  outer->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QorCardsButton* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName(QStringLiteral("Button1"));
  ok->setFixedSize(100, 32);
  ok->setDefault(true);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  outer->addLayout(buttons);
}

}  // namespace trilane
