#pragma once
// Pieces the account pages and the profile editor share: the framed account photo and the
// rows of a public profile, each with its icon.
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/text.h"
#include "web/web_records.h"

class QGridLayout;
class QLabel;

namespace trilane {

// The photo frame "GAcFrame" (240 x 290) with a 200 x 250 photo at (20, 20) under it, or the
// default picture of the sex ("GAcNoM", "GAcNoF") when there is no photo.
class PhotoFrame : public QWidget {
  Q_OBJECT

 public:
  explicit PhotoFrame(QWidget* parent);
  // JPEG bytes of the photo; nothing (or bytes that do not decode) shows the default picture.
  void SetPhoto(const std::optional<std::string>& jpeg, char sex);
  void SetPhotoImage(const QImage& photo, char sex);
  bool ShowsPhoto() const { return !photo_.isNull(); }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage photo_;
  QImage fallback_;
  QImage frame_;
};

// Which profile field a row shows; the order is the profile's.
enum class ProfileField {
  kAbout,
  kTelephone,
  kEMail,
  kWebSite,
  kSkype,
  kOK,
  kVK,
  kTelegram,
  kFaceBook,
  kTwitter,
  kInstagramm,
  kYouTube
};

// The icon picture of a profile field ("GAcAbout", ...).
const char* ProfileIconName(ProfileField field);
// True for the fields a click opens in the browser; the others are copied.
bool ProfileFieldIsAddress(ProfileField field);
// The text of a field in a profile (code page 1251).
const std::string& ProfileText(const web::TInfo14& info, ProfileField field);

// One row per non-empty profile field: its icon and its text. A click on a row reports the
// field when the rows are clickable.
class ProfileRows : public QWidget {
  Q_OBJECT

 public:
  ProfileRows(bool clickable, QWidget* parent);
  void Show(const web::TInfo14& info);
  // The fields shown, in order (the tests read them).
  const std::vector<ProfileField>& Fields() const { return fields_; }

 signals:
  void rowClicked(trilane::ProfileField field, const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool clickable_;
  QGridLayout* grid_;
  std::vector<ProfileField> fields_;
  std::vector<QWidget*> rows_;
};

}  // namespace trilane
