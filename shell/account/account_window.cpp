#include "shell/account/account_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "platform/paths.h"
#include "program/account_in_use.h"
#include "records/address_cipher.h"
#include "shell/account/field_edits.h"
#include "shell/account/passport_window.h"
#include "shell/account/profile_widgets.h"
#include "shell/animation_label.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "web/account_rules.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kClientWidth = 770;
constexpr int kClientHeight = 680;
constexpr int kFlagWidth = 16;

// The payment page of the reference club, enciphered like the service's addresses; "Refill"
// opens it followed by the sum "100".
constexpr char kPaymentPageCipher[] = "MglE6M4rC0Lx5e4enkgG6INRu9QJ0t+oNYeTwGGg";

constexpr std::array<int, kContinentCount> kContinentWords = {
    kWordEurope, kWordAsia, kWordNorthAmerica, kWordSouthAmerica, kWordOceania, kWordAfrica};

std::pair<int, int> SplitCode(std::string_view code) {
  if (CountryByCode(code) == nullptr) return {1, 1};
  return {code[0] - '0', (code[2] - '0') * 100 + (code[3] - '0') * 10 + (code[4] - '0')};
}

QString StateHint(web::AccountState state) {
  switch (state) {
    case web::AccountState::kSignedIn:
      return WordText(kWordLoggedIn);
    case web::AccountState::kRated:
      return WordText(kWordPlayingForRating);
    case web::AccountState::kNone:
      break;
  }
  return WordText(kWordNotLoggedIn);
}

const char* StarPicture(web::AccountState state) {
  switch (state) {
    case web::AccountState::kSignedIn:
      return "StarY0";
    case web::AccountState::kRated:
      return "StarG0";
    case web::AccountState::kNone:
      break;
  }
  return "StarR0";
}

}  // namespace

QString PaymentPageAddress() {
  return QString::fromStdString(
      DecipherAddress(kPaymentPageCipher, kSettingsAddressKey).value_or(std::string()));
}

AccountWindow::AccountWindow(const TSettings& settings, AccountInUse& account,
                             AccountWindowServices services, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordClubTitle), 610, 40}, parent),
      account_(account),
      services_(std::move(services)) {
  setObjectName("FAcc1");
  if (!services_.openUrl) services_.openUrl = [](const QString& url) { return OpenWithShell(url); };

  // The reads of the window's opening: the world's best, the account's own figures when
  // signed in, the member count and the President.
  account_.RefreshTopTen();
  // While a rated match runs, the service holds the pre-charge and an emptied cycle; the
  // account's copy keeps the cycle the booking needs, so it is not read over.
  if (account_.SignedIn()) {
    if (!account_.RatedMatchRunning()) account_.RefreshBest();
    account_.RefreshPhoto();
    account_.RefreshProfile();
  }
  account_.RefreshClubMembers();
  ReadPresident();

  pages_ = new QTabWidget(Body());
  pages_->setObjectName("PageControl1");
  pages_->setFont(RoleFont(settings, FontRole::kSerif, 15));
  pages_->tabBar()->setFont(RoleFont(settings, FontRole::kSerif, 14, true));
  pages_->tabBar()->setElideMode(Qt::ElideNone);
  pages_->tabBar()->setExpanding(false);
  pages_->addTab(BuildAccountPage(), WordText(kWordMyAccount));
  pages_->addTab(BuildResultsPage(), WordText(kWordMyResults));
  pages_->addTab(BuildTopTenPage(), WordText(kWordTop10));
  pages_->addTab(BuildQorsPage(), WordText(kWordQors));
  pages_->addTab(BuildAboutPage(), WordText(kWordAboutMe));
  pages_->addTab(BuildPresidentPage(), WordText(kWordPresident));
  pages_->setCurrentIndex(0);

  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("ButtonOk");
  ok->setFixedSize(140, 32);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);

  const int bodyHeight = kClientHeight - HeaderHeight();
  pages_->setGeometry(6, 4, kClientWidth - 12, bodyHeight - 50);
  ok->move((kClientWidth - ok->width()) / 2, bodyHeight - 42);

  if (!account_.SignedIn()) ResetFieldsForNewAccount();
  ShowAccount();
  setFixedSize(kClientWidth, kClientHeight);
}

void AccountWindow::ReadPresident() {
  presidentRead_ = account_.RefreshPresident();
}

QLabel* AccountWindow::PageTitle(const QString& text, QWidget* parent) const {
  auto* label = new QLabel(text, parent);
  label->setObjectName("PageTitle");
  label->setFont(RoleFont(settings_, FontRole::kSerif, 20, true));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  return label;
}

QLabel* AccountWindow::MakeValueLabel(QWidget* parent, const QString& name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFont(RoleFont(settings_, FontRole::kSerif, 17, true));
  label->setTextFormat(Qt::PlainText);
  return label;
}

// ---------------------------------------------------------------------------------------
// "My account"

QWidget* AccountWindow::BuildAccountPage() {
  auto* page = new QWidget;
  page->setObjectName("PageAccount");
  page->setMouseTracking(true);
  page->installEventFilter(this);
  accountPage_ = page;
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(20, 10, 20, 10);
  outer->addWidget(PageTitle(WordText(kWordAccountInformation), page));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(7);
  const QFont editFont = RoleFont(settings_, FontRole::kSerif, 17, false);
  auto label = [&](int entry, int row) {
    auto* l = new QLabel(WordText(entry), page);
    grid->addWidget(l, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  };
  auto lamp = [&](const char* name) {
    auto* l = new QLabel(page);
    l->setObjectName(name);
    l->setFixedSize(24, 24);
    return l;
  };
  auto edit = [&](const char* name, int maxLength, AccountField field) {
    auto* e = new QLineEdit(page);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setFont(editFont);
    e->setMinimumHeight(28);
    e->setValidator(new FieldKeyValidator(field, e));
    return e;
  };
  nickEdit_ = edit("EditNick", 12, AccountField::kNick);
  passwordEdit_ = edit("EditPassword", 12, AccountField::kPassword);
  cityEdit_ = edit("EditCity", 15, AccountField::kCity);
  emailEdit_ = edit("EditEMail", 30, AccountField::kEMail);
  lamps_ = {lamp("LampNick"), lamp("LampPassword"), lamp("LampCity"), lamp("LampEMail")};
  continentBox_ = new QComboBox(page);
  continentBox_->setObjectName("ComboContinent");
  countryBox_ = new QComboBox(page);
  countryBox_->setObjectName("ComboCountry");
  countryBox_->setIconSize(QSize(kFlagWidth, 11));
  countryBox_->setMaxVisibleItems(16);
  sexBox_ = new QComboBox(page);
  sexBox_->setObjectName("ComboSex");
  for (QComboBox* box : {continentBox_, countryBox_, sexBox_}) {
    box->setFont(editFont);
    box->setMinimumHeight(28);
  }
  for (int c = 0; c < kContinentCount; ++c)
    continentBox_->addItem(WordText(kContinentWords[static_cast<size_t>(c)]));
  sexBox_->addItem(QPixmap::fromImage(ProgramPng("FaceMan16")), WordText(kWordMan));
  sexBox_->addItem(QPixmap::fromImage(ProgramPng("FaceWoman16")), WordText(kWordWoman));
  dateLabel_ = MakeValueLabel(page, "LabelDate");
  hidePassword_ = new QCheckBox(WordText(kWordHidePassword), page);
  hidePassword_->setObjectName("CheckHidePassword");
  hidePassword_->setChecked(true);
  passwordEdit_->setEchoMode(QLineEdit::Password);

  label(kWordAccountNick, 0);
  grid->addWidget(nickEdit_, 0, 1);
  grid->addWidget(lamps_[0], 0, 2);
  label(kWordAccountPassword, 1);
  grid->addWidget(passwordEdit_, 1, 1);
  grid->addWidget(lamps_[1], 1, 2);
  grid->addWidget(hidePassword_, 2, 1);
  label(kWordAccountCountry, 3);
  grid->addWidget(continentBox_, 3, 1);
  grid->addWidget(countryBox_, 4, 1);
  label(kWordAccountCity, 5);
  grid->addWidget(cityEdit_, 5, 1);
  grid->addWidget(lamps_[2], 5, 2);
  label(kWordAccountSex, 6);
  grid->addWidget(sexBox_, 6, 1);
  label(kWordYourEMail, 7);
  grid->addWidget(emailEdit_, 7, 1);
  grid->addWidget(lamps_[3], 7, 2);
  label(kWordRegistration, 8);
  grid->addWidget(dateLabel_, 8, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(3, 20);

  // The state of the account beside the fields: its star, its lamp and its words.
  auto* state = new QVBoxLayout;
  star_ = new AnimationLabel(StarPicture(account_.State()), page);
  star_->setObjectName("ImageStar");
  star_->setProperty("picture", QString(StarPicture(account_.State())));
  star_->KeyOutBackground();
  star_->setFixedSize(64, 64);
  stateLamp_ = new QLabel(page);
  stateLamp_->setObjectName("LampState");
  stateLamp_->setFixedSize(24, 24);
  stateText_ = new QLabel(page);
  stateText_->setObjectName("LabelState");
  stateText_->setWordWrap(true);
  stateText_->setAlignment(Qt::AlignCenter);
  stateText_->setFixedWidth(190);
  auto* starRow = new QHBoxLayout;
  starRow->addStretch();
  starRow->addWidget(star_);
  starRow->addWidget(stateLamp_, 0, Qt::AlignBottom);
  starRow->addStretch();
  state->addLayout(starRow);
  state->addWidget(stateText_);
  membersLabel_ = new QLabel(page);
  membersLabel_->setObjectName("LabelMembers");
  membersLabel_->setAlignment(Qt::AlignCenter);
  membersLabel_->setWordWrap(true);
  membersLabel_->setFixedWidth(190);
  state->addSpacing(12);
  state->addWidget(membersLabel_);
  state->addStretch();
  grid->addLayout(state, 0, 4, 9, 1);

  outer->addLayout(grid);
  playRating_ = new QCheckBox(WordText(kWordPlayGlobalRating), page);
  playRating_->setObjectName("CheckPlayRating");
  playRating_->setFont(RoleFont(settings_, FontRole::kSerif, 17, true));
  outer->addWidget(playRating_, 0, Qt::AlignHCenter);
  outer->addStretch();

  auto* buttons = new QGridLayout;
  buttons->setHorizontalSpacing(10);
  buttons->setVerticalSpacing(8);
  auto button = [&](int entry, const char* name, int row, int column) {
    auto* b = MakeButton(WordText(entry), page);
    b->setObjectName(name);
    b->setFixedHeight(32);
    buttons->addWidget(b, row, column);
    return b;
  };
  createButton_ = button(kWordCreateAnAccount, "ButtonCreate", 0, 0);
  signButton_ = button(kWordLoginToAccount, "Button2", 0, 1);
  saveButton_ = button(kWordSave, "ButtonSave", 1, 0);
  deleteButton_ = button(kWordDelete, "ButtonDelete", 1, 1);
  outer->addLayout(buttons);

  connect(hidePassword_, &QCheckBox::toggled, this, [this](bool hide) {
    passwordEdit_->setEchoMode(hide ? QLineEdit::Password : QLineEdit::Normal);
  });
  connect(continentBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!filling_) FillCountries(index + 1, 0);
  });
  for (QLineEdit* e : {nickEdit_, passwordEdit_, cityEdit_, emailEdit_})
    connect(e, &QLineEdit::textChanged, this, &AccountWindow::UpdateLamps);
  for (QLineEdit* e : {nickEdit_, passwordEdit_}) {
    connect(e, &QLineEdit::textChanged, this, [this] {
      // A nick or password the player typed is not the saved one any more.
      if (filling_ || !mouseSeen_ || !account_.SignedIn()) return;
      account_.MarkUserFileUnsaved();
      UpdateButtons();
    });
  }
  connect(playRating_, &QCheckBox::toggled, this, [this](bool checked) {
    if (filling_) return;
    account_.SetPlayForRating(checked);
    ShowAccount();
    emit accountChanged();
  });
  connect(createButton_, &QAbstractButton::clicked, this, &AccountWindow::CreateAccount);
  connect(signButton_, &QAbstractButton::clicked, this, &AccountWindow::SignInOrOut);
  connect(saveButton_, &QAbstractButton::clicked, this, &AccountWindow::SaveUserFile);
  connect(deleteButton_, &QAbstractButton::clicked, this, &AccountWindow::DeleteUserFile);
  return page;
}

bool AccountWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == accountPage_ &&
      (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)) {
    mouseSeen_ = true;
  }
  return AuxWindow::eventFilter(watched, event);
}

void AccountWindow::FillCountries(int continent, int row) {
  const bool wasFilling = filling_;
  filling_ = true;
  continentBox_->setCurrentIndex(continent - 1);
  countryBox_->clear();
  const auto table = CountryTable(continent);
  for (size_t i = 0; i < table.size(); ++i) {
    const std::string code = CountryCodeOf(continent, static_cast<int>(i));
    countryBox_->addItem(QPixmap::fromImage(CountryFlag(code)),
                         FromUtf8(CountryName(table[i], LanguageIndex())),
                         QString::fromStdString(code));
  }
  countryBox_->setCurrentIndex(row >= 0 && row < countryBox_->count() ? row : 0);
  filling_ = wasFilling;
}

void AccountWindow::ResetFieldsForNewAccount() {
  // Without an account the page starts a new one: Russia, a man, no city, no e-mail; the
  // nick and password of the last account stay for signing in again.
  account_.ResetSignedOutRecord();
  filling_ = true;
  const web::TQorUser& user = account_.User();
  nickEdit_->setText(FromCp1251(user.Nick));
  passwordEdit_->setText(FromCp1251(user.Pw));
  cityEdit_->setText(FromCp1251(user.City));
  emailEdit_->setText(FromCp1251(user.EMail));
  const auto [continent, row] = SplitCode(user.Country2);
  FillCountries(continent, row);
  sexBox_->setCurrentIndex(user.Sex == 'W' ? 1 : 0);
  dateLabel_->setText(FromCp1251(user.DateR));
  filling_ = false;
}

void AccountWindow::UpdateLamps() {
  ratings_ = {RateFieldText(AccountField::kNick, nickEdit_->text()),
              RateFieldText(AccountField::kPassword, passwordEdit_->text()),
              RateFieldText(AccountField::kCity, cityEdit_->text()),
              RateFieldText(AccountField::kEMail, emailEdit_->text())};
  for (size_t i = 0; i < lamps_.size(); ++i) {
    lamps_[i]->setPixmap(QPixmap::fromImage(FieldLamp(ratings_[i])));
    lamps_[i]->setProperty("rating", ratings_[i]);
  }
  UpdateButtons();
}

void AccountWindow::UpdateButtons() {
  const auto state = account_.State();
  const auto rating = [this](size_t i) { return static_cast<web::FieldVerdict>(ratings_[i]); };
  const bool locked = account_.RatedMatchRunning();
  const bool signedIn = account_.SignedIn();
  createButton_->setEnabled(
      !locked && web::CanCreateAccount(state, rating(0), rating(2), rating(1), rating(3)));
  signButton_->setEnabled(!locked && web::CanSignInOrOut(state, rating(0), rating(1)));
  signButton_->setText(WordText(signedIn ? kWordSignOut : kWordLoginToAccount));
  const bool fileExists = std::filesystem::exists(services_.userFile);
  saveButton_->setEnabled(!locked && signedIn && !account_.UserFileSaved());
  deleteButton_->setEnabled(!locked && fileExists);
  // The country, the sex, the city and the e-mail are the new account's; a signed-in
  // account shows its own.
  for (QWidget* w :
       std::initializer_list<QWidget*>{continentBox_, countryBox_, sexBox_, cityEdit_, emailEdit_})
    w->setEnabled(!locked && !signedIn);
  for (QWidget* w : std::initializer_list<QWidget*>{nickEdit_, passwordEdit_, hidePassword_})
    w->setEnabled(!locked);
  playRating_->setEnabled(!locked && services_.offerRatedPlay && signedIn);
  if (refillButton_) refillButton_->setEnabled(!locked && signedIn);
  if (transferButton_) transferButton_->setEnabled(!locked && signedIn);
  if (editProfile_) editProfile_->setEnabled(!locked && signedIn);
}

void AccountWindow::ShowAccount() {
  filling_ = true;
  const auto state = account_.State();
  if (account_.SignedIn()) {
    const web::TQorUser& user = account_.User();
    nickEdit_->setText(FromCp1251(user.Nick));
    passwordEdit_->setText(FromCp1251(user.Pw));
    cityEdit_->setText(FromCp1251(web::ShownField(user.City)));
    emailEdit_->setText(FromCp1251(web::ShownField(user.EMail)));
    const auto [continent, row] = SplitCode(user.Country2);
    FillCountries(continent, row);
    sexBox_->setCurrentIndex(user.Sex == 'W' ? 1 : 0);
    dateLabel_->setText(FromCp1251(user.DateR));
  }
  playRating_->setChecked(state == web::AccountState::kRated);
  filling_ = false;

  stateLamp_->setPixmap(QPixmap::fromImage(FieldLamp(static_cast<int>(state))));
  stateLamp_->setProperty("rating", static_cast<int>(state));
  stateText_->setText(StateHint(state));
  stateText_->setProperty("state", static_cast<int>(state));
  // The star of the state, running; a new state brings its own star.
  if (star_->property("picture").toString() != StarPicture(state)) {
    auto* star = new AnimationLabel(StarPicture(state), star_->parentWidget());
    star->setObjectName("ImageStar");
    star->setFixedSize(star_->size());
    star->setProperty("picture", QString(StarPicture(state)));
    star->KeyOutBackground();
    if (auto* layout = star_->parentWidget()->layout()) {
      if (auto* item = layout->replaceWidget(star_, star, Qt::FindChildrenRecursively)) delete item;
    }
    delete star_;
    star_ = star;
  }
  star_->SetRunning(true);

  membersLabel_->setText(WordText(kWordClubMembers) + (account_.ClubMembersRead()
                                                           ? QString::number(account_.ClubMembers())
                                                           : WordText(kWordNoConnect)));
  UpdateLamps();
  ShowResults();
  ShowTopTen();
  ShowQors();
  ShowProfiles();
}

void AccountWindow::CreateAccount() {
  NewAccount account;
  account.nick = ToCp1251(nickEdit_->text());
  account.password = ToCp1251(passwordEdit_->text());
  account.city = ToCp1251(cityEdit_->text());
  account.email = ToCp1251(emailEdit_->text());
  account.country2 = countryBox_->currentData().toString().toStdString();
  if (const Country* country = CountryByCode(account.country2))
    account.country1 = std::string(country->shortName);
  account.sex = sexBox_->currentIndex() == 1 ? 'W' : 'M';
  account.today =
      QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
  const web::RegisterResult result = account_.Create(account);
  switch (result) {
    case web::RegisterResult::kCreated:
      ShowInformation(this, WordText(kWordAccountCreated));
      break;
    case web::RegisterResult::kNickTaken:
      ShowError(this, WordText(kWordNickTaken));
      break;
    case web::RegisterResult::kFailed:
      ShowError(this, WordText(kWordCantCreateAccount));
      break;
  }
  if (result == web::RegisterResult::kCreated) {
    account_.RefreshPhoto();
    ShowAccount();
    emit accountChanged();
  } else {
    dateLabel_->setText("00.00.0000");
  }
}

void AccountWindow::SignInOrOut() {
  if (account_.SignedIn()) {
    account_.SignOut();
    ShowAccount();
    emit accountChanged();
    return;
  }
  if (!account_.SignIn(ToCp1251(nickEdit_->text()), ToCp1251(passwordEdit_->text()))) {
    ShowError(this, WordText(kWordLoginFailed));
    ShowAccount();
    return;
  }
  account_.RefreshPhoto();
  account_.RefreshTopTen();
  ReadPresident();
  ShowAccount();
  emit accountChanged();
}

void AccountWindow::SaveUserFile() {
  if (const auto error = account_.SaveUserFile(services_.userFile)) {
    ShowError(this, WordText(kWordDiskWriteError));
  }
  UpdateButtons();
}

void AccountWindow::DeleteUserFile() {
  if (!account_.DeleteUserFile(services_.userFile)) ShowError(this, WordText(kWordDiskWriteError));
  UpdateButtons();
}

void OpenAccountWindow(const TSettings& settings, AccountInUse& account,
                       AccountWindowServices services, QWidget* parent) {
  AccountWindow window(settings, account, std::move(services), parent);
  ExecModal(window);
}

}  // namespace trilane
