// The account window's pages after "My account": "My results", "Top 10", the Qors page,
// "About me" and "President".

#include "shell/account/account_window.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "program/account_in_use.h"
#include "shell/account/field_edits.h"
#include "shell/account/passport_window.h"
#include "shell/account/profile_editor.h"
#include "shell/account/profile_widgets.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {

// ---------------------------------------------------------------------------------------
// "My results"

QWidget* AccountWindow::BuildResultsPage() {
  auto* page = new QWidget;
  page->setObjectName("PageResults");
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(40, 14, 40, 14);
  outer->addWidget(PageTitle(WordText(kWordYourGamesInformation), page));
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
  if (account_.SignedIn() && !account_.RatedMatchRunning()) account_.RefreshBest();
  ShowResults();
}

void AccountWindow::ShowResults() {
  const bool shown = account_.SignedIn() && account_.BestRead();
  const web::TQorGame& game = account_.Game();
  const std::array<QString, 8> values = {
      FromCp1251(account_.User().Nick),
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
  outer->addWidget(PageTitle(WordText(kWordTopTenRatedPlayers), page));
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
  account_.RefreshTopTen();
  ShowTopTen();
}

void AccountWindow::ShowTopTen() {
  const bool read = account_.TopTenRead();
  topTenStatus_->setText(read ? QString() : WordText(kWordNoConnect));
  topTenStatus_->setVisible(!read);
  for (size_t r = 0; r < topRows_.size(); ++r) {
    const web::TQorTop10& entry = account_.TopTen()[r];
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
  balance_->setText(QString::number(account_.User().R04) + " " + WordText(kWordQors));
}

void AccountWindow::RefreshQors() {
  if (account_.SignedIn() && !account_.RefreshQors())
    ShowError(this, WordText(kWordNoConnectMessage));
  ShowQors();
}

void AccountWindow::Refill() {
  if (!account_.SignedIn()) return;
  // The payment's comment names the account, so the club knows whom to credit.
  QApplication::clipboard()->setText(FromCp1251(account_.User().Nick) + "#" +
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
  if (const TransferResult check = account_.CheckTransfer(amount); check != TransferResult::kDone) {
    message(check);
    return;
  }
  // The question carries blanks for the nick and the amount: their order differs by language.
  const QString question = QString::fromStdString(FillWord(
      Word(kWordConfirmTransfer),
      {{"nick", recipientEdit_->text().toStdString()}, {"amount", std::to_string(amount)}}));
  if (!AskYesNo(this, question, false)) return;
  message(account_.TransferQors(recipient, amount));
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
  outer->addWidget(PageTitle(
      WordText(kWordPresidentOfTheOrder) + " \"" + WordText(kWordClubTitle) + "\"", page));
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
  const web::TQorUser& user = account_.User();
  const bool signedIn = account_.SignedIn();
  ownPhoto_->SetPhoto(signedIn ? account_.OwnPhoto() : std::nullopt, user.Sex);
  const web::TInfo14 none;
  const web::TInfo14& own = signedIn ? user.Info : none;
  ownNames_[0]->setText(FromCp1251(web::ShownField(own.Name1)));
  ownNames_[1]->setText(FromCp1251(web::ShownField(own.Name2)));
  ownRows_->Show(own);

  const bool known = account_.TopTenRead() && presidentRead_;
  const web::TQorTop10& first = account_.TopTen()[0];
  presidentPhoto_->SetPhoto(known ? account_.PresidentPhoto() : std::nullopt, first.Sex);
  const web::TInfo14& info = known ? account_.PresidentProfile() : none;
  presidentNames_[0]->setText(FromCp1251(web::ShownField(info.Name1)));
  presidentNames_[1]->setText(FromCp1251(web::ShownField(info.Name2)));
  // A club whose top ten is still empty has no President yet; a failed read says so.
  const bool failed = !account_.TopTenRead() || (!presidentRead_ && !web::IsEmptyNick(first.Nick));
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
  if (!account_.SignedIn()) return;
  {
    ProfileEditor editor(settings_, account_, this, services_.choosePhoto);
    ExecModal(editor);
  }
  account_.RefreshTopTen();
  ReadPresident();
  ShowTopTen();
  ShowProfiles();
}

}  // namespace trilane
