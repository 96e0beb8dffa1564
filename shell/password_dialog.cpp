#include "shell/password_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength, bool secret) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  if (secret) {
    // Typed characters show as "#".
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet("lineedit-password-character: 35;");
  }
  return edit;
}

}  // namespace

PasswordDialog::PasswordDialog(TSettings& settings, int slot, const std::string& memberName,
                               const std::string& storedCode, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordWelcomeTitle), 300, 40}, parent),
      playerSettings_(settings),
      slot_(slot),
      storedCode_(storedCode) {
  setObjectName("FormPassword");
  setWindowTitle(WordText(kWordWelcome));
  const bool member = slot >= 1 && slot <= 5;

  auto* grid = new QGridLayout(Body());
  grid->setContentsMargins(16, 12, 16, 12);
  grid->setVerticalSpacing(4);
  auto addPrompt = [&](int row, int entry) {
    auto* label = new QLabel(WordText(entry), Body());
    grid->addWidget(label, row, 0);
  };
  nameEdit_ = MakeEdit(Body(), "Edit1", kMaxNameBytes, false);
  passwordEdit_ = MakeEdit(Body(), "Edit2", kMaxPasswordBytes, true);
  repeatEdit_ = MakeEdit(Body(), "Edit3", kMaxPasswordBytes, true);
  QFont editFont = RoleFont(settings, FontRole::kConew, 16, true);
  for (QLineEdit* e : {nameEdit_, passwordEdit_, repeatEdit_}) e->setFont(editFont);

  addPrompt(0, kWordEnterYourName);
  grid->addWidget(nameEdit_, 1, 0);
  addPrompt(2, kWordEnterYourPassword);
  grid->addWidget(passwordEdit_, 3, 0);
  addPrompt(4, kWordRepeatPassword);
  grid->addWidget(repeatEdit_, 5, 0);

  auto* buttons = new QHBoxLayout;
  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  auto* cancel = MakeButton(WordText(kWordCancel), Body());
  cancel->setObjectName("Button2");
  ok->setFixedHeight(30);
  cancel->setFixedHeight(30);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addItem(new QSpacerItem(1, 8), 6, 0);
  grid->addLayout(buttons, 7, 0);
  connect(ok, &QAbstractButton::clicked, this, &PasswordDialog::accept);
  connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
  for (QLineEdit* e : {nameEdit_, passwordEdit_, repeatEdit_}) {
    connect(e, &QLineEdit::returnPressed, this, &PasswordDialog::accept);
  }

  if (member) {
    nameEdit_->setText(QString::fromStdString(memberName));
    nameEdit_->setReadOnly(true);
    repeatEdit_->setEnabled(false);
    passwordEdit_->setFocus();
  } else {
    nameEdit_->setText(QString::fromStdString(
        StartingNewPlayerName(settings.PlayerName, std::string(Word(kWordMrX)))));
    nameEdit_->selectAll();
    nameEdit_->setFocus();
  }
  SetBodySize(340, 230);
}

void PasswordDialog::accept() {
  const bool member = slot_ >= 1 && slot_ <= 5;
  result_ = CheckSignIn(member, ToUtf8(nameEdit_->text()), ToUtf8(passwordEdit_->text()),
                        ToUtf8(repeatEdit_->text()), storedCode_);
  if (result_.fault != SignInFault::kNone && ModalAutoClose() >= 0) {
    // A run that answers its own windows cannot type a better name: it gives up instead of
    // waiting for ever.
    AuxWindow::reject();
    return;
  }
  switch (result_.fault) {
    case SignInFault::kNone:
      playerSettings_.PlayerName = result_.name;
      AuxWindow::accept();
      return;
    case SignInFault::kIncorrectName:
      ShowError(this, WordText(kWordIncorrectName));
      nameEdit_->setFocus();
      return;
    case SignInFault::kPasswordsDiffer:
      ShowError(this, WordText(kWordPasswordsDiffer));
      passwordEdit_->setFocus();
      return;
    case SignInFault::kWrongPassword:
      ShowError(this, WordText(kWordWrongPassword));
      passwordEdit_->setFocus();
      passwordEdit_->selectAll();
      return;
  }
}

}  // namespace trilane
