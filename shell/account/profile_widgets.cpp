#include "shell/account/profile_widgets.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <array>
#include <span>

#include "platform/images.h"
#include "shell/pictures.h"

namespace trilane {
namespace {

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 290;
constexpr int kPhotoLeft = 20;
constexpr int kPhotoTop = 20;
constexpr int kPhotoWidth = 200;
constexpr int kPhotoHeight = 250;

constexpr std::array<ProfileField, 12> kFieldOrder = {
    ProfileField::kAbout,   ProfileField::kTelephone,  ProfileField::kEMail,
    ProfileField::kWebSite, ProfileField::kSkype,      ProfileField::kOK,
    ProfileField::kVK,      ProfileField::kTelegram,   ProfileField::kFaceBook,
    ProfileField::kTwitter, ProfileField::kInstagramm, ProfileField::kYouTube};

}  // namespace

PhotoFrame::PhotoFrame(QWidget* parent) : QWidget(parent) {
  setObjectName("Image1");
  setFixedSize(kFrameWidth, kFrameHeight);
  frame_ = ProgramPng("GAcFrame");
  fallback_ = ProgramPng("GAcNoM");
}

void PhotoFrame::SetPhoto(const std::optional<std::string>& jpeg, char sex) {
  QImage photo;
  if (jpeg) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(jpeg->data());
    photo = DecodeJpeg(std::span<const uint8_t>(bytes, jpeg->size()));
  }
  SetPhotoImage(photo, sex);
}

void PhotoFrame::SetPhotoImage(const QImage& photo, char sex) {
  photo_ = photo;
  fallback_ = ProgramPng(sex == 'W' ? "GAcNoF" : "GAcNoM");
  update();
}

void PhotoFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRect window(kPhotoLeft, kPhotoTop, kPhotoWidth, kPhotoHeight);
  const QImage& shown = photo_.isNull() ? fallback_ : photo_;
  if (!shown.isNull()) painter.drawImage(window, shown);
  if (!frame_.isNull()) painter.drawImage(0, 0, frame_);
}

void PhotoFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}

const char* ProfileIconName(ProfileField field) {
  switch (field) {
    case ProfileField::kAbout:
      return "GAcAbout";
    case ProfileField::kTelephone:
      return "GAcTelephone";
    case ProfileField::kEMail:
      return "GAcEMail";
    case ProfileField::kWebSite:
      return "GAcWebSite";
    case ProfileField::kSkype:
      return "GAcSkype";
    case ProfileField::kOK:
      return "GAcOK";
    case ProfileField::kVK:
      return "GAcVK";
    case ProfileField::kTelegram:
      return "GAcTelegram";
    case ProfileField::kFaceBook:
      return "GAcFaceBook";
    case ProfileField::kTwitter:
      return "GAcTwitter";
    case ProfileField::kInstagramm:
      return "GAcInstagramm";
    case ProfileField::kYouTube:
      return "GAcYouTube";
  }
  return "GAcAbout";
}

bool ProfileFieldIsAddress(ProfileField field) {
  switch (field) {
    case ProfileField::kWebSite:
    case ProfileField::kOK:
    case ProfileField::kVK:
    case ProfileField::kFaceBook:
    case ProfileField::kTwitter:
    case ProfileField::kInstagramm:
    case ProfileField::kYouTube:
      return true;
    default:
      return false;
  }
}

const std::string& ProfileText(const web::TInfo14& info, ProfileField field) {
  switch (field) {
    case ProfileField::kAbout:
      return info.About;
    case ProfileField::kTelephone:
      return info.Telephone;
    case ProfileField::kEMail:
      return info.EMailO;
    case ProfileField::kWebSite:
      return info.WebSite;
    case ProfileField::kSkype:
      return info.Skype;
    case ProfileField::kOK:
      return info.OK;
    case ProfileField::kVK:
      return info.VK;
    case ProfileField::kTelegram:
      return info.Telegram;
    case ProfileField::kFaceBook:
      return info.FaceBook;
    case ProfileField::kTwitter:
      return info.Twitter;
    case ProfileField::kInstagramm:
      return info.Instagramm;
    case ProfileField::kYouTube:
      return info.YouTube;
  }
  return info.About;
}

ProfileRows::ProfileRows(bool clickable, QWidget* parent)
    : QWidget(parent), clickable_(clickable), grid_(new QGridLayout(this)) {
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setHorizontalSpacing(8);
  grid_->setVerticalSpacing(3);
  grid_->setColumnStretch(1, 1);
}

void ProfileRows::Show(const web::TInfo14& info) {
  for (QWidget* row : rows_) delete row;
  rows_.clear();
  fields_.clear();
  int row = 0;
  for (ProfileField field : kFieldOrder) {
    const std::string& text = ProfileText(info, field);
    if (web::ShownField(text).empty()) continue;
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(ProgramPng(ProfileIconName(field))));
    icon->setFixedSize(24, 24);
    auto* label = new QLabel(FromCp1251(text), this);
    label->setObjectName(QString("ProfileRow%1").arg(static_cast<int>(field)));
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(1);
    if (clickable_) {
      label->setCursor(Qt::PointingHandCursor);
      label->installEventFilter(this);
      label->setProperty("field", static_cast<int>(field));
    }
    grid_->addWidget(icon, row, 0);
    grid_->addWidget(label, row, 1);
    rows_.push_back(icon);
    rows_.push_back(label);
    fields_.push_back(field);
    ++row;
  }
}

bool ProfileRows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (auto* label = qobject_cast<QLabel*>(watched)) {
      emit rowClicked(static_cast<ProfileField>(label->property("field").toInt()), label->text());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace trilane
