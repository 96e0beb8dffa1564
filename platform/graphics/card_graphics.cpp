#include "platform/graphics/card_graphics.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "base/rounding.h"
#include "platform/images.h"

namespace trilane {

namespace {

const ResourceId kJpegType = ResourceId::Text("JPEG");

// Coloured backs by their letter in the code "X" + letter, then the three places.
constexpr std::string_view kColourLetters = "brngyvao";
constexpr std::array<std::string_view, 11> kMarkerNames = {
    "GCardBlack", "GCardRed",   "GCardNavy", "GCardGreen", "GCardYellow", "GCardViolet",
    "GCardAqua",  "GCardOrang", "GCard0",    "GKnockY",    "GKnockN"};
constexpr int kMarkerPlace = 8;  // "Fr" 8, "KY" 9, "KN" 10

// Keys of the resampling cache: faces 1..56, backs 57..66, markers 67..77.
constexpr int kBackKey = kFaceSlots;
constexpr int kMarkerKey = kFaceSlots + kBackSlots + 1;

const QImage& NullImage() {
  static const QImage kNull;
  return kNull;
}

QImage SmallPicture(const QImage& png, int w, int h) {
  if (png.size() == QSize(w, h)) return png;
  return png.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int MarkerOf(std::string_view code) {
  if (code == "Fr") return kMarkerPlace;
  if (code == "KY") return kMarkerPlace + 1;
  if (code == "KN") return kMarkerPlace + 2;
  if (code.size() == 2 && code[0] == 'X') {
    const size_t colour = kColourLetters.find(code[1]);
    if (colour != std::string_view::npos) return static_cast<int>(colour);
  }
  return -1;
}

}  // namespace

CardGraphics::CardGraphics(ResourceLocator locator, NoticeSink& notices)
    : locator_(std::move(locator)), notices_(notices) {}

void CardGraphics::SetScale(double kc) {
  kc_ = kc;
  sizeClass_ = SizeClassFor(kc);
  const CardSize size = CardSizeFor(kc_, wideCards_);
  cardW_ = size.width;
  cardH_ = size.height;
  scaledCache_.fill(QImage());
  if (sizeClass_ != 1) {
    markersSmall_.fill(QImage());
    smallMarkersLoaded_ = false;
  }
}

std::optional<QImage> CardGraphics::Picture(const ResourceModule& module, const ResourceId& type,
                                            std::string_view name) const {
  const auto bytes = module.Find(type, name);
  if (!bytes) return std::nullopt;
  QImage image = DecodeImage(
      {reinterpret_cast<const uint8_t*>(bytes->constData()), static_cast<size_t>(bytes->size())});
  if (image.isNull()) return std::nullopt;
  return image;
}

void CardGraphics::MissingLibrary(std::string_view library) const {
  notices_.ShowNotice({kWordCantFindFile, " " + std::string(library)}, {}, {});
}

void CardGraphics::LoadFacesFrom(const ResourceModule& module, int design) {
  const bool builtInBitmaps = module.IsProgram() && design == 0 && sizeClass_ == 1;
  const ResourceModule program = locator_.Program();
  // One picture: from the module; a picture the library lacks is taken from the built-in
  // set so that a damaged library shows a mixed deck rather than blank cards.
  auto load = [&](const std::string& name, const std::string& builtInName) -> QImage {
    if (builtInBitmaps)
      return Picture(module, ResourceId::Number(kRtBitmap), name).value_or(QImage());
    if (auto png = Picture(module, ResourceId::Number(kRtRcdata), name)) return *png;
    if (module.IsProgram()) return {};
    if (sizeClass_ == 1) {
      return Picture(program, ResourceId::Number(kRtBitmap), builtInName).value_or(QImage());
    }
    return Picture(program, ResourceId::Number(kRtRcdata), builtInName).value_or(QImage());
  };
  for (int slot = 1; slot <= kFaceSlots; ++slot) {
    faceBitmaps_[slot] = QImage();
    facePngs_[slot] = QImage();
    if (slot >= 37 && slot <= 40) continue;  // jokers of sibling games
    const QImage picture =
        load(FaceResourceName(slot, design, sizeClass_), FaceResourceName(slot, 0, sizeClass_));
    if (picture.isNull()) continue;
    if (sizeClass_ == 1) {
      faceBitmaps_[slot] = SmallPicture(picture, kSmallBitmapW, kSmallBitmapH);
    } else {
      facePngs_[slot] = picture;
    }
  }
  for (int suit = 1; suit <= 4; ++suit) {
    const QImage picture =
        load(SymbolResourceName(suit, design, sizeClass_), SymbolResourceName(suit, 0, sizeClass_));
    symbols_[suit] = sizeClass_ == 1 && !picture.isNull()
                         ? SmallPicture(picture, kSymbolSide, kSymbolSide)
                         : picture;
  }
}

bool CardGraphics::LoadCardFaces(CardLook& look) {
  bool ok = true;
  int design = look.cardDesign >= 0 && look.cardDesign < kFaceDesigns ? look.cardDesign : 0;
  std::optional<ResourceModule> library;
  if (design != 0) {
    const std::string_view name = FaceLibrary(design);
    library =
        locator_.LoadLibrary(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    if (!library) {
      MissingLibrary(name);
      design = 0;
      ok = false;
    }
  }
  look.cardDesign = design;
  LoadFacesFrom(library ? std::move(*library) : locator_.Program(), design);
  library.reset();  // released at once
  wideCards_ = IsWideDesign(design);
  SetScale(kc_);
  KeepOnlyCardSize(facePngs_, 0);
  return ok;
}

bool CardGraphics::LoadCardBacks(CardLook& look) {
  bool ok = true;
  int design = look.backDesign >= 0 && look.backDesign < kBackDesigns ? look.backDesign : 0;
  // Narrow faces in the scaled sizes want narrow built-in backs, which only the library has.
  const bool narrowBuiltIn = design == 0 && !wideCards_ && sizeClass_ != 1;
  std::optional<ResourceModule> library;
  if (design != 0 || narrowBuiltIn) {
    library = locator_.LoadLibrary(QString::fromLatin1(kCardsB.data(), kCardsB.size()));
    if (!library) {
      MissingLibrary(kCardsB);
      if (narrowBuiltIn) {
        look.cardDesign = 0;
        LoadCardFaces(look);
      }
      design = 0;
      ok = false;
    }
  }
  look.backDesign = design;
  loadedBackDesign_ = design;
  const ResourceModule module = library ? std::move(*library) : locator_.Program();
  library.reset();
  const int count = IsCollection(design) ? kBackSlots : 7;
  // The program holds only wide big backs; the library's names follow the faces' width.
  const bool wideNames = module.IsProgram() || wideCards_;
  for (int back = 1; back <= kBackSlots; ++back) {
    backBitmaps_[back] = QImage();
    backPngs_[back] = QImage();
    if (back > count) continue;
    const std::string name = BackResourceName(back, design, sizeClass_, wideNames);
    if (module.IsProgram() && design == 0 && sizeClass_ == 1) {
      backBitmaps_[back] = Picture(module, ResourceId::Number(kRtBitmap), name).value_or(QImage());
      continue;
    }
    const QImage picture = Picture(module, ResourceId::Number(kRtRcdata), name).value_or(QImage());
    if (sizeClass_ == 1) {
      if (!picture.isNull())
        backBitmaps_[back] = SmallPicture(picture, kSmallBitmapW, kSmallBitmapH);
    } else {
      backPngs_[back] = picture;
    }
  }
  scaledCache_.fill(QImage());
  KeepOnlyCardSize(backPngs_, kBackKey);
  return ok;
}

// The table draws faces and backs only at the card size: the decoded pictures of the
// larger sizes are replaced by their scaled copies instead of staying beside them. A later
// change of scale reloads them (the window's size is applied through the loaders).
void CardGraphics::KeepOnlyCardSize(std::span<QImage> pictures, int firstKey) {
  if (sizeClass_ == 1) return;  // the small size keeps its bitmaps and no scaled copies
  for (size_t i = 0; i < pictures.size(); ++i) {
    if (pictures[i].isNull()) continue;
    const size_t key = static_cast<size_t>(firstKey) + i;
    const QImage scaled = Scaled(pictures[i], static_cast<int>(key));
    pictures[i] = scaled;
    scaledCache_[key] = QImage();
  }
}

bool CardGraphics::LoadBackground(bool purple, CardLook& look, QSize clientSize, bool smallWindow) {
  bool ok = true;
  auto stretch = [&](const QImage& picture) {
    background_ = smallWindow || !clientSize.isValid() || clientSize.isEmpty()
                      ? picture
                      : picture.scaled(clientSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  };
  if (purple) {
    auto library = locator_.LoadLibrary(QString::fromLatin1(kGraphics.data(), kGraphics.size()));
    if (library) {
      if (auto picture = Picture(*library, kJpegType, "BGLilu")) {
        stretch(*picture);
        return true;
      }
    } else {
      MissingLibrary(kGraphics);
    }
    look.auxPurple = false;
    look.menuDesign = 0;
    look.tableDesign = 0;
    ok = false;
  }
  if (look.background == 0) return ok;
  if (look.background < 1 || look.background > 10 || look.backgroundColour < 0 ||
      look.backgroundColour > 6) {
    look.background = 2;
    look.backgroundColour = 0;
  }
  std::optional<ResourceModule> library;
  if (!(look.background == 2 && look.backgroundColour == 0)) {
    library = locator_.LoadLibrary(QString::fromLatin1(kBackgrounds.data(), kBackgrounds.size()));
    if (!library) {
      MissingLibrary(kBackgrounds);
      look.background = 2;
      look.backgroundColour = 0;
      ok = false;
    }
  }
  const std::string name =
      BackgroundResourceName(look.background, look.backgroundColour, smallWindow);
  auto picture =
      library ? Picture(*library, kJpegType, name) : Picture(locator_.Program(), kJpegType, name);
  if (!picture && library) {
    // A library without this picture: the built-in one, as for a missing library.
    look.background = 2;
    look.backgroundColour = 0;
    picture = Picture(locator_.Program(), kJpegType, BackgroundResourceName(2, 0, smallWindow));
    ok = false;
  }
  if (!picture) return false;
  stretch(*picture);
  return ok;
}

void CardGraphics::ChooseBack(const CardLook& look, int isoWeekday, uint32_t clockSeed) {
  currentBack_ = ChooseBackNumber(isoWeekday, look.backAlwaysOne, look.backDesign, clockSeed);
}

bool CardGraphics::LoadNamedPicture(std::string_view name, std::string_view library,
                                    const ResourceId& type, QImage& picture) const {
  // An empty library name means the program's own resources.
  std::optional<ResourceModule> module =
      library.empty() ? locator_.Program()
                      : locator_.LoadLibrary(QString::fromUtf8(
                            library.data(), static_cast<qsizetype>(library.size())));
  if (!module) return false;
  auto found = Picture(*module, type, name);
  if (!found) return false;
  picture = *found;
  return true;
}

bool CardGraphics::LoadPng(std::string_view name, std::string_view library, QImage& picture) const {
  return LoadNamedPicture(name, library, ResourceId::Number(kRtRcdata), picture);
}

bool CardGraphics::LoadJpeg(std::string_view name, std::string_view library,
                            QImage& picture) const {
  return LoadNamedPicture(name, library, kJpegType, picture);
}

const QImage& CardGraphics::FaceBitmap(CardCode code) const {
  const int slot = FaceSlotOf(code);
  return slot ? faceBitmaps_[slot] : NullImage();
}

const QImage& CardGraphics::FacePng(CardCode code) const {
  const int slot = FaceSlotOf(code);
  return slot ? facePngs_[slot] : NullImage();
}

const QImage& CardGraphics::Symbol(int suit) const {
  return suit >= 1 && suit <= 4 ? symbols_[suit] : NullImage();
}

const QImage& CardGraphics::BackBitmap(int back) const {
  return back >= 1 && back <= kBackSlots ? backBitmaps_[back] : NullImage();
}

const QImage& CardGraphics::BackPng(int back) const {
  return back >= 1 && back <= kBackSlots ? backPngs_[back] : NullImage();
}

void CardGraphics::LoadSmallMarkers() const {
  if (smallMarkersLoaded_) return;
  smallMarkersLoaded_ = true;
  for (size_t i = 0; i < kMarkerNames.size(); ++i) markersSmall_[i] = MarkerPicture(i, "Sm");
}

QImage CardGraphics::MarkerPicture(size_t marker, const char* size) const {
  const std::string name = std::string(kMarkerNames[marker]) + size;
  return Picture(locator_.Program(), ResourceId::Number(kRtRcdata), name).value_or(QImage());
}

// A picture at the card size: as it is when it already has that size; otherwise laid on
// black, resampled smoothly to 24-bit colour and cut to a rounded rectangle whose corners
// measure round(8 kc), transparent outside.
const QImage& CardGraphics::Scaled(const QImage& png, int key) const {
  if (png.isNull() || png.size() == QSize(cardW_, cardH_)) return png;
  QImage& cached = scaledCache_[static_cast<size_t>(key)];
  if (!cached.isNull()) return cached;
  QImage flat(png.size(), QImage::Format_RGB32);
  flat.fill(Qt::black);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, png);
  }
  const QImage resized =
      flat.scaled(cardW_, cardH_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_RGB888)
          .convertToFormat(QImage::Format_RGB32);
  QImage masked(cardW_, cardH_, QImage::Format_ARGB32_Premultiplied);
  masked.fill(Qt::transparent);
  {
    QPainter p(&masked);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(resized));
    const double corner = static_cast<double>(RoundHalfEvenToInt(8 * kc_));
    p.drawRoundedRect(QRectF(0, 0, cardW_, cardH_), corner / 2, corner / 2);
  }
  cached = masked;
  return cached;
}

void CardGraphics::DrawScaled(QImage& image, int x, int y, const QImage& picture, int key) const {
  const QImage& scaled = Scaled(picture, key);
  if (scaled.isNull()) return;
  QPainter p(&image);
  p.drawImage(x, y, scaled);
}

void CardGraphics::DrawCard(int x, int y, std::string_view code, QImage& image) const {
  if (code.size() != 2 || image.isNull() || code == "##") return;
  const CardCode card{static_cast<uint8_t>(code[0]), static_cast<uint8_t>(code[1])};
  const int slot = FaceSlotOf(card);
  const int marker = MarkerOf(code);
  if (sizeClass_ == 1) {
    QPainter p(&image);
    // The cell's outline with cut corners: two pixels short of each corner.
    p.fillRect(QRect(x + 2, y, 67, 1), Qt::black);
    p.fillRect(QRect(x + 2, y + 95, 67, 1), Qt::black);
    p.fillRect(QRect(x, y + 2, 1, 92), Qt::black);
    p.fillRect(QRect(x + 70, y + 2, 1, 92), Qt::black);
    if (code == "No") {
      for (const QPoint dot : {QPoint(x + 1, y + 1), QPoint(x + 69, y + 1), QPoint(x + 1, y + 94),
                               QPoint(x + 69, y + 94)}) {
        p.fillRect(QRect(dot, QSize(1, 1)), Qt::black);
      }
    } else if (slot) {
      p.drawImage(x + 1, y + 1, faceBitmaps_[slot]);
    } else if (code == "00") {
      p.drawImage(x + 1, y + 1, BackBitmap(currentBack_));
    } else if (marker >= kMarkerPlace) {
      LoadSmallMarkers();
      p.drawImage(x + 1, y + 1, markersSmall_[marker]);
    } else if (marker >= 0) {
      LoadSmallMarkers();
      const QImage& back = markersSmall_[marker];
      if (!back.isNull()) p.drawImage(x + 1, y + 1, SmallPicture(back, cardW_ - 2, cardH_ - 2));
    }
    return;
  }
  if (slot) {
    DrawScaled(image, x, y, facePngs_[slot], slot);
  } else if (code == "00") {
    DrawScaled(image, x, y, BackPng(currentBack_), kBackKey + currentBack_);
  } else if (marker >= 0) {
    QImage& cached = scaledCache_[static_cast<size_t>(kMarkerKey + marker)];
    if (cached.isNull()) {
      // The larger windows scale the big marker; as with the faces, only the copy at the
      // card size stays, and a change of scale reads the marker again.
      const QImage big = MarkerPicture(static_cast<size_t>(marker), "Bg");
      if (!big.isNull()) cached = SmallPicture(big, cardW_, cardH_);
    }
    if (!cached.isNull()) {
      QPainter p(&image);
      p.drawImage(x, y, cached);
    }
  }
}

}  // namespace trilane
