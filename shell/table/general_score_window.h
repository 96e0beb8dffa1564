#pragma once
// "General score": the player's rounds, scores and ratings of the match so far.

#include <QString>

#include "shell/aux_window.h"
#include "table/match.h"

namespace trilane {

class GeneralScoreWindow : public AuxWindow {
  Q_OBJECT

 public:
  GeneralScoreWindow(const TSettings& settings, const QString& playerName,
                     const GeneralScoreFigures& figures, QWidget* parent);
};

}  // namespace trilane
