#include "shell/account/account_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "platform/paths.h"
#include "program/account_session.h"
#include "records/address_cipher.h"
#include "shell/account/field_edits.h"
#include "shell/account/passport_window.h"
#include "shell/account/profile_editor.h"
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

QLabel* Title(const QString& text, QWidget* parent, const TSettings& settings) {
  auto* label = new QLabel(text, parent);
  label->setObjectName("PageTitle");
  label->setFont(RoleFont(settings, FontRole::kSerif, 20, true));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString PaymentPageAddress() {
  return QString::fromStdString(
      DecipherAddress(kPaymentPageCipher, kSettingsAddressKey).value_or(std::string()));
}

AccountWindow::AccountWindow(const TSettings& settings, AccountSession& session,
                             AccountWindowServices services, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordClubTitle), 610, 40}, parent),
      session_(session),
      services_(std::move(services)) {
  setObjectName("FAcc1");
  if (!services_.openUrl) services_.openUrl = [](const QString& url) { return OpenWithShell(url); };

  // The reads of the window's opening: the world's best, the account's own figures when
  // signed in, the member count and the President.
  session_.RefreshTopTen();
  // While a rated match runs, the service holds the pre-charge and an emptied cycle; the
  // session's copy keeps the cycle the booking needs, so it is not read over.
  if (session_.SignedIn()) {
    if (!session_.RatedMatchRunning()) session_.RefreshBest();
    session_.RefreshPhoto();
    session_.RefreshProfile();
  }
  session_.RefreshClubMembers();
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

  if (!session_.SignedIn()) ResetFieldsForNewAccount();
  ShowAccount();
  setFixedSize(kClientWidth, kClientHeight);
}

void AccountWindow::ReadPresident() {
  presidentRead_ = session_.RefreshPresident();
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
  outer->addWidget(Title(WordText(kWordAccountInformation), page, settings_));

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
  star_ = new AnimationLabel(StarPicture(session_.State()), page);
  star_->setObjectName("ImageStar");
  star_->setProperty("picture", QString(StarPicture(session_.State())));
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
      if (filling_ || !mouseSeen_ || !session_.SignedIn()) return;
      session_.MarkUserFileUnsaved();
      UpdateButtons();
    });
  }
  connect(playRating_, &QCheckBox::toggled, this, [this](bool checked) {
    if (filling_) return;
    session_.SetPlayForRating(checked);
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
  session_.ResetSignedOutRecord();
  filling_ = true;
  const web::TQorUser& user = session_.User();
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
  const auto state = session_.State();
  const auto rating = [this](size_t i) { return static_cast<web::FieldRating>(ratings_[i]); };
  const bool locked = session_.RatedMatchRunning();
  const bool signedIn = session_.SignedIn();
  createButton_->setEnabled(
      !locked && web::CanCreateAccount(state, rating(0), rating(2), rating(1), rating(3)));
  signButton_->setEnabled(!locked && web::CanSignInOrOut(state, rating(0), rating(1)));
  signButton_->setText(WordText(signedIn ? kWordSignOut : kWordLoginToAccount));
  const bool fileExists = std::filesystem::exists(services_.userFile);
  saveButton_->setEnabled(!locked && signedIn && !session_.UserFileSaved());
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
  const auto state = session_.State();
  if (session_.SignedIn()) {
    const web::TQorUser& user = session_.User();
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

  membersLabel_->setText(WordText(kWordClubMembers) + (session_.ClubMembersRead()
                                                           ? QString::number(session_.ClubMembers())
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
  const web::RegisterResult result = session_.Create(account);
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
    session_.RefreshPhoto();
    ShowAccount();
    emit accountChanged();
  } else {
    dateLabel_->setText("00.00.0000");
  }
}

void AccountWindow::SignInOrOut() {
  if (session_.SignedIn()) {
    session_.SignOut();
    ShowAccount();
    emit accountChanged();
    return;
  }
  if (!session_.SignIn(ToCp1251(nickEdit_->text()), ToCp1251(passwordEdit_->text()))) {
    ShowError(this, WordText(kWordLoginFailed));
    ShowAccount();
    return;
  }
  session_.RefreshPhoto();
  session_.RefreshTopTen();
  ReadPresident();
  ShowAccount();
  emit accountChanged();
}

void AccountWindow::SaveUserFile() {
  if (const auto error = session_.SaveUserFile(services_.userFile)) {
    ShowError(this, WordText(kWordDiskWriteError));
  }
  UpdateButtons();
}

void AccountWindow::DeleteUserFile() {
  if (!session_.DeleteUserFile(services_.userFile)) ShowError(this, WordText(kWordDiskWriteError));
  UpdateButtons();
}

// ---------------------------------------------------------------------------------------
// "My results"

QWidget* AccountWindow::BuildResultsPage() {
  auto* page = new QWidget;
  page->setObjectName("PageResults");
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(40, 14, 40, 14);
  outer->addWidget(Title(WordText(kWordYourGamesInformation), page, settings_));
  outer->addSpacing(10);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(24);
  grid->setVerticalSpacing(12);
  constexpr std::array<int, 8> kRows = {kWordAccountPlayer, kWordAccountRating, kWordAccountPlace,
                                        kWordPlayedGames,   kWordMyBestScore,   kWordPlayedCycles,
                                        kWordCurrentDeal,   kWordCurrentScore};
  for (size_t i = 0; i < kRows.size(); ++i) {
    auto* name = new QLabel(WordText(kRows[i]), page);
    grid->addWidget(name, static_cast<int>(i), 0, Qt::AlignRight);
    results_[i] = MakeValueLabel(page, QString("ResultValue%1").arg(i));
    grid->addWidget(results_[i], static_cast<int>(i), 1);
  }
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  outer->addLayout(grid);
  outer->addStretch();
  auto* refresh = MakeButton(WordText(kWordRefresh), page);
  refresh->setObjectName("ButtonRefreshResults");
  refresh->setFixedSize(160, 32);
  outer->addWidget(refresh, 0, Qt::AlignHCenter);
  connect(refresh, &QAbstractButton::clicked, this, &AccountWindow::RefreshResults);
  return page;
}

void AccountWindow::RefreshResults() {
  if (session_.SignedIn() && !session_.RatedMatchRunning()) session_.RefreshBest();
  ShowResults();
}

void AccountWindow::ShowResults() {
  const bool shown = session_.SignedIn() && session_.BestRead();
  const web::TQorGame& game = session_.Game();
  const std::array<QString, 8> values = {
      FromCp1251(session_.User().Nick),
      QString::fromStdString(web::FormatAccountRating(game.Rating)),
      QString::number(game.Place),
      QString::number(game.Kon),
      QString::number(game.Best),
      QString::number(game.Sessions),
      QString::number(game.KonL),
      QString::number(game.Score)};
  for (size_t i = 0; i < results_.size(); ++i)
    results_[i]->setText(shown ? values[i] : WordText(kWordNoConnect));
}

// ---------------------------------------------------------------------------------------
// "Top 10"

QWidget* AccountWindow::BuildTopTenPage() {
  auto* page = new QWidget;
  page->setObjectName("PageTopTen");
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(30, 14, 30, 14);
  outer->addWidget(Title(WordText(kWordTopTenRatedPlayers), page, settings_));
  outer->addSpacing(8);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(8);
  const QFont rowFont = RoleFont(settings_, FontRole::kSerif, 17, true);
  for (int r = 0; r < 10; ++r) {
    for (int c = 0; c < 6; ++c) {
      auto* cell = new QLabel(page);
      cell->setObjectName(QString("Top%1_%2").arg(r + 1).arg(c));
      cell->setFont(rowFont);
      cell->setTextFormat(Qt::PlainText);
      if (c == 5) cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid->addWidget(cell, r, c);
      topRows_[static_cast<size_t>(r)][static_cast<size_t>(c)] = cell;
    }
  }
  grid->setColumnStretch(2, 2);
  grid->setColumnStretch(3, 2);
  grid->setColumnStretch(5, 1);
  outer->addLayout(grid);
  topTenStatus_ = new QLabel(page);
  topTenStatus_->setObjectName("LabelTopTenStatus");
  topTenStatus_->setAlignment(Qt::AlignCenter);
  topTenStatus_->setFont(RoleFont(settings_, FontRole::kSerif, 20, true));
  outer->addWidget(topTenStatus_);
  outer->addStretch();
  auto* refresh = MakeButton(WordText(kWordRefresh), page);
  refresh->setObjectName("ButtonRefreshTopTen");
  refresh->setFixedSize(160, 32);
  outer->addWidget(refresh, 0, Qt::AlignHCenter);
  connect(refresh, &QAbstractButton::clicked, this, &AccountWindow::RefreshTopTen);
  return page;
}

void AccountWindow::RefreshTopTen() {
  session_.RefreshTopTen();
  ShowTopTen();
}

void AccountWindow::ShowTopTen() {
  const bool read = session_.TopTenRead();
  topTenStatus_->setText(read ? QString() : WordText(kWordNoConnect));
  topTenStatus_->setVisible(!read);
  for (size_t r = 0; r < topRows_.size(); ++r) {
    const web::TQorTop10& entry = session_.TopTen()[r];
    const bool filled = read && !web::IsEmptyNick(entry.Nick);
    auto& row = topRows_[r];
    for (QLabel* cell : row) {
      cell->clear();
      cell->setVisible(read);
    }
    if (!filled) continue;
    row[0]->setText(QString::number(static_cast<int>(r) + 1) + ".");
    row[1]->setPixmap(QPixmap::fromImage(CountryFlag(entry.Country)));
    row[2]->setText(FromCp1251(entry.Nick));
    row[3]->setText(FromCp1251(web::ShownField(entry.City)));
    row[4]->setPixmap(
        QPixmap::fromImage(ProgramPng(entry.Sex == 'M' ? "FaceMan16" : "FaceWoman16")));
    row[5]->setText(QString::fromStdString(web::FormatAccountRating(entry.Rating)));
  }
}

// ---------------------------------------------------------------------------------------
// Qors

QWidget* AccountWindow::BuildQorsPage() {
  auto* page = new QWidget;
  page->setObjectName("PageQors");
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(30, 12, 30, 12);
  outer->setSpacing(8);

  auto* top = new QHBoxLayout;
  auto* coin = new QLabel(page);
  coin->setPixmap(QPixmap::fromImage(ProgramPng("GQors128"))
                      .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  top->addWidget(coin);
  balance_ = new QLabel(page);
  balance_->setObjectName("LabelBalance");
  balance_->setFont(RoleFont(settings_, FontRole::kDecor, 40, true));
  top->addWidget(balance_, 1, Qt::AlignCenter);
  auto* refresh = MakeButton(WordText(kWordRefresh), page);
  refresh->setObjectName("ButtonRefreshQors");
  refresh->setFixedSize(160, 32);
  top->addWidget(refresh);
  outer->addLayout(top);

  auto* refillTitle = new QLabel(WordText(kWordAddQors), page);
  refillTitle->setFont(RoleFont(settings_, FontRole::kSerif, 18, true));
  outer->addWidget(refillTitle);
  auto* refillRow = new QHBoxLayout;
  auto* refill = MakeButton(WordText(kWordRefill), page);
  refill->setObjectName("ButtonRefill");
  refill->setFixedSize(160, 32);
  refillButton_ = refill;
  refillRow->addWidget(refill, 0, Qt::AlignTop);
  refillNote_ = new QLabel(
      WordText(kWordQorsCreditedWithin24Hours) + "\n" + WordText(kWordPasteCommentWhenPaying),
      page);
  refillNote_->setObjectName("LabelRefillNote");
  refillNote_->setWordWrap(true);
  refillNote_->setFont(RoleFont(settings_, FontRole::kSerif, 14, false));
  refillRow->addWidget(refillNote_, 1);
  outer->addLayout(refillRow);
  outer->addSpacing(10);

  auto* transferTitle = new QLabel(WordText(kWordTransferQors), page);
  transferTitle->setFont(RoleFont(settings_, FontRole::kSerif, 18, true));
  outer->addWidget(transferTitle);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  auto* amountLabel = new QLabel(WordText(kWordTransferAmount), page);
  amountLabel->setWordWrap(true);
  grid->addWidget(amountLabel, 0, 0);
  amountBox_ = new QSpinBox(page);
  amountBox_->setObjectName("SpinQorsAddUs");
  amountBox_->setRange(0, 1000000);
  amountBox_->setFont(RoleFont(settings_, FontRole::kSerif, 17, false));
  amountBox_->setMinimumHeight(28);
  grid->addWidget(amountBox_, 0, 1);
  auto* recipientLabel = new QLabel(WordText(kWordTransferRecipient), page);
  recipientLabel->setWordWrap(true);
  grid->addWidget(recipientLabel, 1, 0);
  recipientEdit_ = new QLineEdit(page);
  recipientEdit_->setObjectName("EditQorsAddUs");
  recipientEdit_->setMaxLength(12);
  recipientEdit_->setFont(RoleFont(settings_, FontRole::kSerif, 17, false));
  recipientEdit_->setMinimumHeight(28);
  recipientEdit_->setValidator(new FieldKeyValidator(AccountField::kNick, recipientEdit_));
  grid->addWidget(recipientEdit_, 1, 1);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 2);
  outer->addLayout(grid);
  auto* transfer = MakeButton(WordText(kWordTransfer), page);
  transfer->setObjectName("ButtonTransfer");
  transfer->setFixedSize(160, 32);
  transferButton_ = transfer;
  outer->addWidget(transfer, 0, Qt::AlignHCenter);
  outer->addStretch();

  connect(refresh, &QAbstractButton::clicked, this, &AccountWindow::RefreshQors);
  connect(refill, &QAbstractButton::clicked, this, &AccountWindow::Refill);
  connect(transfer, &QAbstractButton::clicked, this, &AccountWindow::TransferQors);
  return page;
}

void AccountWindow::ShowQors() {
  balance_->setText(QString::number(session_.User().R04) + " " + WordText(kWordQors));
}

void AccountWindow::RefreshQors() {
  if (session_.SignedIn() && !session_.RefreshQors())
    ShowError(this, WordText(kWordNoConnectMessage));
  ShowQors();
}

void AccountWindow::Refill() {
  if (!session_.SignedIn()) return;
  // The payment's comment names the account, so the club knows whom to credit.
  QApplication::clipboard()->setText(FromCp1251(session_.User().Nick) + "#" +
                                     WordText(kWordRefill));
  ShowInformation(this, WordText(kWordQorsCreditedWithin24Hours) + "\n" +
                            WordText(kWordPasteCommentWhenPaying));
  services_.openUrl(PaymentPageAddress() + "100");
}

void AccountWindow::TransferQors() {
  const int64_t amount = amountBox_->value();
  const std::string recipient = ToCp1251(recipientEdit_->text());
  auto message = [this](TransferResult result) {
    switch (result) {
      case TransferResult::kDone:
        ShowInformation(this, WordText(kWordTransferSucceeded));
        break;
      case TransferResult::kNotEnough:
        ShowError(this, WordText(kWordNotEnoughQors));
        break;
      case TransferResult::kEmpty:
        ShowError(this, WordText(kWordEmptyTransfer));
        break;
      case TransferResult::kNoSuchMember:
        ShowError(this, WordText(kWordNoSuchMember));
        break;
      case TransferResult::kNoConnect:
        ShowError(this, WordText(kWordNoConnectMessage));
        break;
      case TransferResult::kNothing:
        break;
    }
  };
  if (const TransferResult check = session_.CheckTransfer(amount); check != TransferResult::kDone) {
    message(check);
    return;
  }
  // The question carries blanks for the nick and the amount: their order differs by language.
  const QString question = QString::fromStdString(FillWord(
      Word(kWordConfirmTransfer),
      {{"nick", recipientEdit_->text().toStdString()}, {"amount", std::to_string(amount)}}));
  if (!AskYesNo(this, question, false)) return;
  message(session_.TransferQors(recipient, amount));
  ShowQors();
}

// ---------------------------------------------------------------------------------------
// "About me" and "President"

QWidget* AccountWindow::BuildAboutPage() {
  auto* page = new QWidget;
  page->setObjectName("PageAbout");
  auto* columns = new QHBoxLayout(page);
  columns->setContentsMargins(20, 14, 20, 14);
  columns->setSpacing(20);
  auto* left = new QVBoxLayout;
  ownPhoto_ = new PhotoFrame(page);
  left->addWidget(ownPhoto_);
  left->addStretch();
  auto* edit = MakeButton(WordText(kWordModification), page);
  edit->setObjectName("ButtonEditProfile");
  edit->setFixedSize(240, 32);
  editProfile_ = edit;
  left->addWidget(edit);
  columns->addLayout(left);
  auto* right = new QVBoxLayout;
  for (size_t i = 0; i < ownNames_.size(); ++i) {
    ownNames_[i] = MakeValueLabel(page, QString("LabelOwnName%1").arg(i + 1));
    ownNames_[i]->setFont(RoleFont(settings_, FontRole::kSerif, 22, true));
    right->addWidget(ownNames_[i]);
  }
  right->addSpacing(10);
  ownRows_ = new ProfileRows(false, page);
  ownRows_->setObjectName("OwnProfile");
  right->addWidget(ownRows_);
  right->addStretch();
  columns->addLayout(right, 1);
  connect(edit, &QAbstractButton::clicked, this, &AccountWindow::EditProfile);
  return page;
}

QWidget* AccountWindow::BuildPresidentPage() {
  auto* page = new QWidget;
  page->setObjectName("PagePresident");
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(20, 10, 20, 10);
  outer->addWidget(
      Title(WordText(kWordPresidentOfTheOrder) + " \"" + WordText(kWordClubTitle) + "\"", page,
            settings_));
  auto* columns = new QHBoxLayout;
  columns->setSpacing(20);
  presidentPhoto_ = new PhotoFrame(page);
  presidentPhoto_->setObjectName("ImagePresident");
  auto* left = new QVBoxLayout;
  left->addWidget(presidentPhoto_);
  left->addStretch();
  columns->addLayout(left);
  auto* right = new QVBoxLayout;
  for (size_t i = 0; i < presidentNames_.size(); ++i) {
    presidentNames_[i] = MakeValueLabel(page, QString("LabelPresident%1").arg(i + 1));
    presidentNames_[i]->setFont(RoleFont(settings_, FontRole::kSerif, i < 2 ? 22 : 18, true));
    right->addWidget(presidentNames_[i]);
  }
  right->addSpacing(10);
  presidentRows_ = new ProfileRows(true, page);
  presidentRows_->setObjectName("PresidentProfile");
  right->addWidget(presidentRows_);
  right->addStretch();
  columns->addLayout(right, 1);
  outer->addLayout(columns, 1);
  connect(presidentRows_, &ProfileRows::rowClicked, this, &AccountWindow::OnPresidentRow);
  return page;
}

void AccountWindow::ShowProfiles() {
  const web::TQorUser& user = session_.User();
  const bool signedIn = session_.SignedIn();
  ownPhoto_->SetPhoto(signedIn ? session_.OwnPhoto() : std::nullopt, user.Sex);
  const web::TInfo14 none;
  const web::TInfo14& own = signedIn ? user.Info : none;
  ownNames_[0]->setText(FromCp1251(web::ShownField(own.Name1)));
  ownNames_[1]->setText(FromCp1251(web::ShownField(own.Name2)));
  ownRows_->Show(own);

  const bool known = session_.TopTenRead() && presidentRead_;
  const web::TQorTop10& first = session_.TopTen()[0];
  presidentPhoto_->SetPhoto(known ? session_.PresidentPhoto() : std::nullopt, first.Sex);
  const web::TInfo14& info = known ? session_.PresidentProfile() : none;
  presidentNames_[0]->setText(FromCp1251(web::ShownField(info.Name1)));
  presidentNames_[1]->setText(FromCp1251(web::ShownField(info.Name2)));
  // A club whose top ten is still empty has no President yet; a failed read says so.
  const bool failed = !session_.TopTenRead() || (!presidentRead_ && !web::IsEmptyNick(first.Nick));
  presidentNames_[2]->setText(known ? FromCp1251(first.Nick)
                                    : (failed ? WordText(kWordNoConnect) : QString()));
  presidentNames_[3]->setText(known ? FromCp1251(web::ShownField(first.City)) : QString());
  presidentRows_->Show(info);
}

void AccountWindow::OnPresidentRow(ProfileField field, const QString& text) {
  if (ProfileFieldIsAddress(field)) {
    // A bare address is taken as a web address, not as a file on this machine.
    QString url = text.trimmed();
    if (!url.contains("://")) url = "https://" + url;
    services_.openUrl(url);
    return;
  }
  QApplication::clipboard()->setText(text);
  ShowInformation(this, WordText(kWordCopiedToClipboard));
}

void AccountWindow::EditProfile() {
  if (!session_.SignedIn()) return;
  {
    ProfileEditor editor(settings_, session_, this, services_.choosePhoto);
    ExecModal(editor);
  }
  session_.RefreshTopTen();
  ReadPresident();
  ShowTopTen();
  ShowProfiles();
}

void OpenAccountWindow(const TSettings& settings, AccountSession& session,
                       AccountWindowServices services, QWidget* parent) {
  AccountWindow window(settings, session, std::move(services), parent);
  ExecModal(window);
}

}  // namespace trilane
