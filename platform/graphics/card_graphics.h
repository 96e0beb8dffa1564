#pragma once
// Every picture the table needs: the face slots of the chosen design, the backs, the suit
// symbols, the coloured backs and place markers, the table background; and DrawCard, which
// puts one card or marker into an image. Pictures come from the program's resources or from
// the add-on libraries beside it; a missing library falls back to the built-in pictures,
// shows a notice and makes the loader report false.

#include <QImage>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/graphics/card_names.h"
#include "platform/graphics/notice.h"
#include "platform/resource_module.h"
#include "rules/cards.h"

namespace trilane {

// The settings this layer reads and, when it falls back, changes (the caller copies them
// back into the settings record).
struct CardLook {
  int cardDesign = 0;  // 0..47
  int backDesign = 0;  // 0..12
  bool backAlwaysOne = false;
  int background = 2;        // 1..10; 0 keeps the picture loaded before
  int backgroundColour = 0;  // 0..6
  bool auxPurple = false;
  int menuDesign = 0;
  int tableDesign = 0;
};

class CardGraphics {
 public:
  CardGraphics(ResourceLocator locator, NoticeSink& notices);

  // The scale factor kc of the window: decides the size class; LoadCardFaces then sets
  // the card size from the design's width.
  void SetScale(double kc);
  double Scale() const { return kc_; }

  bool LoadCardFaces(CardLook& look);
  bool LoadCardBacks(CardLook& look);
  // The table background (or the purple design's "BGLilu"), stretched to `clientSize`
  // unless the window is the small one.
  bool LoadBackground(bool purple, CardLook& look, QSize clientSize, bool smallWindow);
  // The back of a new deal; `isoWeekday` 1 Monday .. 7 Sunday, `clockSeed` from the clock.
  void ChooseBack(const CardLook& look, int isoWeekday, uint32_t clockSeed);

  // One named picture from a library (or from the program when `library` is empty):
  // PNG from RCDATA, JPEG from the "JPEG" type.
  bool LoadPng(std::string_view name, std::string_view library, QImage& picture) const;
  bool LoadJpeg(std::string_view name, std::string_view library, QImage& picture) const;

  // The small bitmap / the PNG of a card; a null image for unknown codes and empty slots.
  const QImage& FaceBitmap(CardCode code) const;
  const QImage& FacePng(CardCode code) const;
  const QImage& Symbol(int suit) const;      // 1..4, 20 x 20
  const QImage& BackBitmap(int back) const;  // 1..10, small size
  const QImage& BackPng(int back) const;     // 1..10, scaled sizes
  const QImage& BackgroundPicture() const { return background_; }

  // Draws a card code (two bytes: a card, "##", "No", "--", "Fr", "KY", "KN", "X" + colour
  // letter, or "00" for the current back) into `image` with its top-left corner at x, y.
  void DrawCard(int x, int y, std::string_view code, QImage& image) const;

  int CurrentBack() const { return currentBack_; }
  bool WideCards() const { return wideCards_; }
  int CardSizeClass() const { return sizeClass_; }
  int CardW() const { return cardW_; }
  int CardH() const { return cardH_; }

 private:
  bool LoadNamedPicture(std::string_view name, std::string_view library, const ResourceId& type,
                        QImage& picture) const;
  std::optional<QImage> Picture(const ResourceModule& module, const ResourceId& type,
                                std::string_view name) const;
  void MissingLibrary(std::string_view library) const;
  void LoadFacesFrom(const ResourceModule& module, int design);
  void LoadSmallMarkers() const;
  QImage MarkerPicture(size_t marker, const char* size) const;
  const QImage& Scaled(const QImage& png, int key) const;
  void KeepOnlyCardSize(std::span<QImage> pictures, int firstKey);
  void DrawScaled(QImage& image, int x, int y, const QImage& picture, int key) const;

  ResourceLocator locator_;
  NoticeSink& notices_;
  double kc_ = 1.0;
  int sizeClass_ = 1;
  int cardW_ = 71;
  int cardH_ = 96;
  bool wideCards_ = true;
  int currentBack_ = 7;
  int loadedBackDesign_ = 0;
  std::array<QImage, kFaceSlots + 1> faceBitmaps_;  // index = slot 1..56
  std::array<QImage, kFaceSlots + 1> facePngs_;
  std::array<QImage, 5> symbols_;                   // index = suit 1..4
  std::array<QImage, kBackSlots + 1> backBitmaps_;  // index = back 1..10
  std::array<QImage, kBackSlots + 1> backPngs_;
  QImage background_;
  // Coloured backs and places, small ("Sm") and big ("Bg"), read on first use.
  mutable bool smallMarkersLoaded_ = false;  // the small window's set, read on first use
  mutable std::array<QImage, 11> markersSmall_;
  // Resampled pictures of the current card size, by key (slot, back, marker).
  mutable std::array<QImage, 96> scaledCache_;
};

}  // namespace trilane
