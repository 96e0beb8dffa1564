#include "shell/card_look.h"

namespace trilane {

CardLook LookOf(const TSettings& record) {
  CardLook look;
  look.cardDesign = record.CardDesign;
  look.backDesign = record.BackDesign;
  look.backAlwaysOne = record.BackAlwaysOne;
  look.background = record.Background;
  look.backgroundColour = record.BackgroundColour;
  look.auxPurple = record.AuxPurple;
  look.menuDesign = record.MenuDesign;
  look.tableDesign = record.TableDesign;
  return look;
}

void TakeLook(TSettings& record, const CardLook& look) {
  record.CardDesign = look.cardDesign;
  record.BackDesign = look.backDesign;
  record.BackAlwaysOne = look.backAlwaysOne;
  record.Background = look.background;
  record.BackgroundColour = look.backgroundColour;
  record.AuxPurple = look.auxPurple;
  record.MenuDesign = look.menuDesign;
  record.TableDesign = look.tableDesign;
}

}  // namespace trilane
