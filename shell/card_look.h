#pragma once
// The card pictures' part of the settings record (designs, backgrounds, colours) as the
// picture loader takes it, and back: the loader may fall back to what it has.
#include "platform/graphics/card_graphics.h"
#include "records/settings.h"

namespace trilane {

CardLook LookOf(const TSettings& record);
void TakeLook(TSettings& record, const CardLook& look);

}  // namespace trilane
