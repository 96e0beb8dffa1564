#include "shell/window_designs.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <span>
#include <string>

#include "platform/images.h"
#include "platform/paths.h"
#include "platform/pe_resources.h"
#include "platform/resource_module.h"
#include "shell/pictures.h"
#include "shell/widgets/qor_button.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kIconSide = 48;
constexpr int kIconInterval = 100;
constexpr std::string_view kGraphicsLibrary = "QorCGraph1.dll";

// The windows and their pictures.
constexpr WindowDesignSpec kSpecs[] = {
    {"FormOptions", "Opt", "Options", true, 280, 90, "GFormOpt", true, 10, "GIcon48Opt"},
    {"FormSpeed", "Speed", "Speed", true, 280, 90, "GFormSpeed", true, 10, "GIcon48Speed"},
    {"FormPassword", "Pw", "Pw", false, 280, 90, "GFormPwL", false, 0, ""},
    {"FormServerInfo", "Pass", "Passport", true, 280, 90, "GFormPass", true, 31, "GIcon48Pass"},
    {"FormEndGame", "EndG", "EndGame", true, 380, 120, "GFormEndG", true, 20, "GIcon48WT"},
    {"FHistory", "History", "History", true, 590, 116, "GFormHistory", true, 12, "GIcon48History"},
    {"FormCount", "Count", "CountInfo", false, 200, 100, "GFormCountL", false, 60, "GIcon48COunt"},
    {"FormServerRead", "TopTen", "WorldTopTen1", false, 380, 120, "GFormServerWL", false, 20,
     "GIcon48WT"},
    {"FormServerWrite", "ServerW", "WorldTopTen2", false, 380, 120, "GFormServerWL", false, 20,
     "GIcon48WT"},
    {"FormChat", "Chat", "QorGamesChat", true, 380, 120, "GFormChatL", false, 10, "GIcon48Chat"},
    {"FStat", "Stat", "WorldStats", false, 360, 100, "GFormStatL", false, 19, "GIcon48Stat"},
    {"FormTourTop10", "", "OnlineTopTen", false, 590, 116, "GFormTopTenL", false, 0, ""},
    {"FTour4", "Tour", "WorldOnlineTournament", false, 590, 116, "GFormTourL", false, 20,
     "GIcon48Tour"},
    {"FAcc1", "Acc1", "MyAccount", true, 590, 116, "GFormAcc1", true, 15, "GIcon48Acc"},
    {"FAcc2", "Acc1", "MyAccountR", false, 590, 116, "GFormAcc1", true, 15, "GIcon48Acc"},
    {"FormWait", "Wait", "", false, 0, 0, "", false, 0, ""},
};

std::unique_ptr<ResourceLocator> g_locator;

const ResourceLocator& Locator() {
  if (!g_locator) g_locator = std::make_unique<ResourceLocator>(ProgramFolder());
  return *g_locator;
}

std::span<const uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size())};
}

QImage Png(const ResourceModule& library, std::string_view name) {
  const auto data = library.Find(ResourceId::Number(kRtRcdata), name);
  return data ? DecodePng(Bytes(*data)) : QImage();
}

QImage Jpeg(const ResourceModule& library, std::string_view name) {
  const auto data = library.Find(ResourceId::Text("JPEG"), name);
  return data ? DecodeJpeg(Bytes(*data)) : QImage();
}

std::string Localized(std::string_view name, bool localized) {
  std::string out(name);
  if (localized) out += PictureSuffix();
  return out;
}

}  // namespace

const WindowDesignSpec* WindowDesignFor(std::string_view objectName) {
  for (const WindowDesignSpec& entry : kSpecs) {
    if (entry.objectName == objectName) return &entry;
  }
  return nullptr;
}

void SetWindowDesignLibrary(const ResourceLocator& locator) {
  g_locator = std::make_unique<ResourceLocator>(locator);
}

int DesignHeaderHeight(AuxDesign design, const WindowDesignSpec* entry) {
  switch (design) {
    case AuxDesign::kGrayConcise:
      return 48;
    case AuxDesign::kGrayRibbons:
      return entry && entry->ribbonHeight > 0 && entry->ribbonHeight <= 90 ? 90 : 100;
    case AuxDesign::kGrayAristocratic:
    case AuxDesign::kPurple:
      break;
  }
  return 64;
}

WindowDesign::WindowDesign(QWidget& window, AuxDesign design)
    : QObject(&window), window_(window), design_(design), timer_(new QTimer(this)) {
  setObjectName("WindowDesign");
  timer_->setObjectName("Timer48");
  timer_->setInterval(kIconInterval);
  connect(timer_, &QTimer::timeout, this, [this] {
    const int frames = spec_ ? spec_->iconFrames : 0;
    if (frames <= 0 || icons_.isNull()) return;
    iconFrame_ = iconFrame_ >= frames ? 1 : iconFrame_ + 1;
    window_.update(QRect(window_.width() - kIconSide - 10, 8, kIconSide, kIconSide));
  });
  if (design_ == AuxDesign::kPurple) {
    QPalette palette = window_.palette();
    // Dark fields with light text: gold captions stay readable wherever they fall.
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, kPurpleCaption);
    palette.setColor(QPalette::Base, QColor(40, 12, 64));
    palette.setColor(QPalette::AlternateBase, QColor(56, 20, 86));
    palette.setColor(QPalette::Text, QColor(240, 232, 250));
    palette.setColor(QPalette::Button, QColor(64, 20, 100));
    palette.setColor(QPalette::ButtonText, kPurpleCaption);
    window_.setPalette(palette);
    window_.installEventFilter(this);
  }
}

bool WindowDesign::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::Show) {
    // Captions are gold and bold on the purple background; the emblem runs while it shows.
    for (QLabel* label : window_.findChildren<QLabel*>()) {
      QFont font = label->font();
      font.setBold(true);
      label->setFont(font);
    }
    Load();
    if (!icons_.isNull()) timer_->start();
  } else if (watched == &window_ && event->type() == QEvent::Hide) {
    timer_->stop();
  }
  return QObject::eventFilter(watched, event);
}

void WindowDesign::StyleButton(QorCardsButton& button) const {
  if (design_ != AuxDesign::kPurple) return;
  button.SetBody(QorCardsButton::BodyColour::kCards);
  button.SetCaptionColour(kPurpleCaption);
}

void WindowDesign::Reload() {
  loaded_ = false;
  window_.update();
}

bool WindowDesign::Complete() {
  Load();
  switch (design_) {
    case AuxDesign::kGrayConcise:
      return !header_.isNull();
    case AuxDesign::kGrayRibbons:
      return !header_.isNull() && !lettering_.isNull();
    case AuxDesign::kPurple:
      return !background_.isNull() && !lettering_.isNull();
    case AuxDesign::kGrayAristocratic:
      break;
  }
  return true;
}

void WindowDesign::Load() {
  if (loaded_) return;
  loaded_ = true;
  spec_ = WindowDesignFor(window_.objectName().toStdString());
  background_ = header_ = lettering_ = icons_ = QImage();
  if (design_ == AuxDesign::kGrayAristocratic) return;
  if (design_ == AuxDesign::kGrayRibbons && spec_ && spec_->ribbonWidth > 0) {
    // The ribbons are the program's own pictures; the lettering comes from the library.
    header_ =
        ProgramPng("GLenta" + std::to_string(spec_->ribbonWidth) + "x" +
                   (spec_->ribbonHeight < 100 ? "0" : "") + std::to_string(spec_->ribbonHeight));
  }
  if (!spec_) return;
  const auto library =
      Locator().LoadLibrary(QString::fromLatin1(kGraphicsLibrary.data(), kGraphicsLibrary.size()));
  if (!library) return;
  switch (design_) {
    case AuxDesign::kGrayConcise:
      if (!spec_->concise.empty())
        header_ = Png(*library, Localized(spec_->concise, spec_->conciseLocalized));
      break;
    case AuxDesign::kGrayRibbons:
      if (!spec_->lettering.empty())
        lettering_ = Png(*library, Localized(spec_->lettering, spec_->letteringLocalized));
      break;
    case AuxDesign::kPurple:
      if (!spec_->key.empty()) background_ = Jpeg(*library, "GForm" + std::string(spec_->key));
      if (!spec_->lettering.empty())
        lettering_ = Png(*library, Localized(spec_->lettering, spec_->letteringLocalized));
      if (spec_->iconFrames > 0) icons_ = Png(*library, spec_->iconStrip);
      break;
    case AuxDesign::kGrayAristocratic:
      break;
  }
}

void WindowDesign::PaintGeneric(QPainter& painter, QRect header, const QString& title,
                                const QFont& font, const QColor& colour) const {
  QFont fitted = font;
  while (QFontMetrics(fitted).horizontalAdvance(title.toUpper()) > header.width() - 16 &&
         fitted.pixelSize() > 10) {
    fitted.setPixelSize(fitted.pixelSize() - 1);
  }
  painter.setFont(fitted);
  const int top = header.top() + (header.height() - QFontMetrics(fitted).height()) / 2;
  DrawShadowText(painter, title.toUpper(), header.left(), header.right(), 'c', colour, top);
}

bool WindowDesign::Paint(QPainter& painter, const QString& title, const QFont& titleFont) {
  if (design_ == AuxDesign::kGrayAristocratic) return false;
  Load();
  const int width = window_.width();
  const int headerHeight = DesignHeaderHeight(design_, spec_);
  const QRect header(0, 0, width, headerHeight);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);

  if (design_ == AuxDesign::kPurple) {
    if (background_.isNull()) {
      painter.fillRect(window_.rect(), Qt::black);
    } else {
      painter.drawImage(window_.rect(), background_);
    }
    if (lettering_.isNull()) {
      PaintGeneric(painter, header, title, titleFont, kPurpleCaption);
    } else {
      painter.drawImage((width - lettering_.width()) / 2, 0, lettering_);
    }
    if (!icons_.isNull()) {
      painter.drawImage(width - kIconSide - 10, 8, StripFrame(icons_, kIconSide, iconFrame_ - 1));
    }
    return true;
  }

  painter.fillRect(window_.rect(), window_.palette().color(QPalette::Window));
  if (design_ == AuxDesign::kGrayConcise) {
    if (header_.isNull()) {
      QLinearGradient bar(0, 0, width, 0);
      bar.setColorAt(0, QColor(70, 70, 78));
      bar.setColorAt(1, QColor(150, 150, 160));
      painter.fillRect(header, bar);
      painter.fillRect(QRect(0, headerHeight - 4, width, 4), QColor(200, 30, 40));
      PaintGeneric(painter, header, title, titleFont, QColor(255, 255, 255));
    } else {
      // A picture narrower than the window is centred, its edges carried to the sides.
      const int left = (width - header_.width()) / 2;
      if (left > 0) {
        painter.drawImage(QRect(0, 0, left, header_.height()),
                          header_.copy(0, 0, 1, header_.height()));
        painter.drawImage(
            QRect(left + header_.width(), 0, width - left - header_.width(), header_.height()),
            header_.copy(header_.width() - 1, 0, 1, header_.height()));
      }
      painter.drawImage(std::max(left, 0), 0, header_);
    }
    return true;
  }

  // Ribbons: the ribbon in the middle of the header, the lettering over it.
  if (!header_.isNull()) painter.drawImage((width - header_.width()) / 2, 0, header_);
  if (lettering_.isNull()) {
    PaintGeneric(painter, QRect(0, 0, width, std::min(headerHeight, 80)), title, titleFont,
                 QColor(255, 255, 0));
  } else {
    painter.drawImage((width - lettering_.width()) / 2, -5, lettering_);
  }
  return true;
}

}  // namespace trilane
