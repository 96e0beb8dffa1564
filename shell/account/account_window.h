#pragma once
// The account window: six pages over the account in use. "My account" creates an account,
// signs in and out, keeps the user file and, on the way to a rated match, ticks "Play global
// rating"; "My results" and "Top 10" show the account's figures and the world's best by
// rating; the Qors page shows the balance, the refill and the transfers; "About me" the own
// public profile (edited in the profile editor) and "President" the profile of the first of
// the world top ten, whose rows copy or open what they show.
//
// Every change goes through the account in use; the window reads for its pages at creation
// and on the refresh buttons, with the web layer's time-outs. A read that fails shows
// "No Connect" in the rows it would have filled and keeps what was there.
#include <QImage>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "shell/aux_window.h"
#include "web/calls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace trilane {

class AccountInUse;
class AnimationLabel;
class PhotoFrame;
class ProfileRows;
enum class ProfileField;

struct AccountWindowServices {
  // Where "Save" writes the user file and "Delete" removes it.
  std::filesystem::path userFile;
  // Opens a web address in the browser (the President's links, the payment page).
  std::function<bool(const QString&)> openUrl;
  // Chooses the photo in the profile editor; empty: the file dialog.
  std::function<QString(QWidget*)> choosePhoto;
  // The window was opened on the way to a rated match: "Play global rating" may be ticked.
  bool offerRatedPlay = false;
};

// The payment page of "Refill": its address is kept enciphered in the program.
QString PaymentPageAddress();

class AccountWindow : public AuxWindow {
  Q_OBJECT

 public:
  AccountWindow(const TSettings& settings, AccountInUse& account, AccountWindowServices services,
                QWidget* parent);

  QTabWidget* Pages() const { return pages_; }

  // The buttons' actions, as a click calls them.
  void CreateAccount();
  void SignInOrOut();
  void SaveUserFile();
  void DeleteUserFile();
  void RefreshResults();
  void RefreshTopTen();
  void RefreshQors();
  void Refill();
  void TransferQors();
  void EditProfile();

  // Redraws every page from the account (after a change of state or a read).
  void ShowAccount();

 signals:
  // The account's state or nick may have changed (the menu redraws its indicator).
  void accountChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildAccountPage();
  QWidget* BuildResultsPage();
  QWidget* BuildTopTenPage();
  QWidget* BuildQorsPage();
  QWidget* BuildAboutPage();
  QWidget* BuildPresidentPage();
  void ReadPresident();
  void ResetFieldsForNewAccount();
  void FillCountries(int continent, int row);
  void UpdateLamps();
  void UpdateButtons();
  void ShowResults();
  void ShowTopTen();
  void ShowQors();
  void ShowProfiles();
  void OnPresidentRow(ProfileField field, const QString& text);
  QLabel* PageTitle(const QString& text, QWidget* parent) const;
  QLabel* MakeValueLabel(QWidget* parent, const QString& name);

  AccountInUse& account_;
  AccountWindowServices services_;
  QTabWidget* pages_ = nullptr;

  // "My account".
  QLineEdit* nickEdit_ = nullptr;
  QLineEdit* passwordEdit_ = nullptr;
  QLineEdit* cityEdit_ = nullptr;
  QLineEdit* emailEdit_ = nullptr;
  QComboBox* continentBox_ = nullptr;
  QComboBox* countryBox_ = nullptr;
  QComboBox* sexBox_ = nullptr;
  QLabel* dateLabel_ = nullptr;
  std::array<QLabel*, 4> lamps_{};  // nick, password, city, e-mail
  std::array<int, 4> ratings_{1, 1, 1, 1};
  QCheckBox* hidePassword_ = nullptr;
  QCheckBox* playRating_ = nullptr;
  QAbstractButton* createButton_ = nullptr;
  QAbstractButton* signButton_ = nullptr;
  QAbstractButton* saveButton_ = nullptr;
  QAbstractButton* deleteButton_ = nullptr;
  QLabel* membersLabel_ = nullptr;
  QLabel* stateLamp_ = nullptr;
  QLabel* stateText_ = nullptr;
  AnimationLabel* star_ = nullptr;
  QWidget* accountPage_ = nullptr;
  bool mouseSeen_ = false;  // the user's own edits count only after the mouse was over the page
  bool filling_ = false;    // the window writes the edits itself

  // "My results".
  std::array<QLabel*, 8> results_{};

  // "Top 10".
  std::array<std::array<QLabel*, 6>, 10> topRows_{};
  QLabel* topTenStatus_ = nullptr;

  // Qors.
  QLabel* balance_ = nullptr;
  QAbstractButton* refillButton_ = nullptr;
  QAbstractButton* transferButton_ = nullptr;
  QSpinBox* amountBox_ = nullptr;
  QLineEdit* recipientEdit_ = nullptr;
  QLabel* refillNote_ = nullptr;

  // "About me" and "President".
  PhotoFrame* ownPhoto_ = nullptr;
  ProfileRows* ownRows_ = nullptr;
  std::array<QLabel*, 2> ownNames_{};
  QAbstractButton* editProfile_ = nullptr;
  PhotoFrame* presidentPhoto_ = nullptr;
  ProfileRows* presidentRows_ = nullptr;
  std::array<QLabel*, 4> presidentNames_{};  // Name1, Name2, nick, city
  bool presidentRead_ = false;
};

// Opens the account window over `parent` and returns when it is closed.
void OpenAccountWindow(const TSettings& settings, AccountInUse& account,
                       AccountWindowServices services, QWidget* parent);

}  // namespace trilane
