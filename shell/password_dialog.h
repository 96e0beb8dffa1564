#pragma once
// The welcome window: a club member types the password of the member line; a new player
// types a name and a password twice. "Ok" (or Enter in any field) checks and accepts.
#include <string>

#include "program/sign_in.h"
#include "shell/aux_window.h"

class QLineEdit;

namespace trilane {

struct TSettings;

class PasswordDialog : public AuxWindow {
  Q_OBJECT

 public:
  // `memberName` (UTF-8) and `storedCode` for a member slot 1..5; empty for a new player.
  PasswordDialog(TSettings& settings, int slot, const std::string& memberName,
                 const std::string& storedCode, QWidget* parent);

  // Valid once the window was accepted.
  const SignInResult& Result() const { return result_; }

  // Checks the fields; accepts only a valid sign-in.
  void accept() override;

 private:
  TSettings& playerSettings_;
  int slot_;
  std::string storedCode_;
  SignInResult result_;
  QLineEdit* nameEdit_;
  QLineEdit* passwordEdit_;
  QLineEdit* repeatEdit_;
};

}  // namespace trilane
