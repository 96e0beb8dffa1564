#pragma once
// The profile editor of the account window: the public profile, one edit per field, and the
// photo. "Update info" sends the profile ("$" and "~", which the service's replies use as
// separators, become blanks) and reads it back; a click on the photo chooses a JPEG of
// exactly 200 x 250, which "Refresh photo" uploads as the nick's photo. The upload goes
// through the web layer's photo account, which the window never shows.
#include <QImage>
#include <array>
#include <functional>
#include <string>

#include "shell/aux_window.h"
#include "web/web_records.h"

class QLineEdit;

namespace trilane {

class AccountInUse;
class PhotoFrame;

// The photo check: true when `bytes` are a JPEG of exactly 200 x 250 pixels.
bool IsAccountPhoto(const std::string& bytes);

class ProfileEditor : public AuxWindow {
  Q_OBJECT

 public:
  // `choosePhoto` returns the path of a picture chosen by the player (empty: cancelled); by
  // default a file dialog.
  ProfileEditor(const TSettings& settings, AccountInUse& account, QWidget* parent,
                std::function<QString(QWidget*)> choosePhoto = {});

  // The photo click: choose a file and check it.
  void ChoosePhoto();
  void UpdateInfo();
  void RefreshPhoto();

 private:
  web::TInfo14 EditedProfile() const;

  AccountInUse& account_;
  std::function<QString(QWidget*)> choosePhoto_;
  std::array<QLineEdit*, 14> edits_{};
  PhotoFrame* photo_;
  QAbstractButton* updateInfo_;
  QAbstractButton* refreshPhoto_;
  std::string chosenPhoto_;  // the checked JPEG's bytes, waiting for "Refresh photo"
};

}  // namespace trilane
