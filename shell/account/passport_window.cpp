#include "shell/account/passport_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <cstdio>

#include "records/settings.h"
#include "shell/account/field_edits.h"
#include "shell/account/profile_widgets.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 460;
constexpr int kBodyHeight = 300;
constexpr int kFlagWidth = 16;
constexpr int kNickLength = 12;
constexpr int kCityLength = 15;

// The flag strips of the six continents, in the order of the country code's digit.
constexpr std::array<const char*, kContinentCount> kFlagStrips = {"ILEuro", "ILAsia", "ILNAme",
                                                                  "ILSAme", "ILOcea", "ILAfri"};
constexpr std::array<int, kContinentCount> kContinentWords = {
    kWordEurope, kWordAsia, kWordNorthAmerica, kWordSouthAmerica, kWordOceania, kWordAfrica};

// The continent (1..6) and row of a code "C-RRR"; Russia for anything else.
std::pair<int, int> SplitCode(std::string_view code) {
  if (CountryByCode(code) == nullptr) return {1, 1};
  return {code[0] - '0', (code[2] - '0') * 100 + (code[3] - '0') * 10 + (code[4] - '0')};
}

}  // namespace

std::string CountryCodeOf(int continent, int row) {
  // Five characters: the continent's digit, "-", the row in three digits.
  std::string code = "0-000";
  code[0] = static_cast<char>('0' + std::clamp(continent, 0, 9));
  row = std::clamp(row, 0, 999);
  code[2] = static_cast<char>('0' + row / 100);
  code[3] = static_cast<char>('0' + row / 10 % 10);
  code[4] = static_cast<char>('0' + row % 10);
  return code;
}

QImage CountryFlag(std::string_view countryCode) {
  auto [continent, row] = SplitCode(countryCode);
  if (CountryByCode(countryCode) == nullptr) row = 0;
  static std::array<QImage, kContinentCount> strips;
  QImage& strip = strips[static_cast<size_t>(continent - 1)];
  if (strip.isNull()) strip = ProgramPng(kFlagStrips[static_cast<size_t>(continent - 1)]);
  return StripFrame(strip, kFlagWidth, row);
}

QImage FieldLamp(int rating) {
  return ProgramPng(LampPictureName(rating));
}

PassportWindow::PassportWindow(TSettings& settings, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordMyPassport), 300, 40}, parent),
      record_(settings) {
  setObjectName("FormServerInfo");
  auto* grid = new QGridLayout(Body());
  grid->setContentsMargins(24, 14, 24, 14);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(8);
  const QFont editFont = RoleFont(settings, FontRole::kSerif, 17, false);

  auto label = [&](int entry, int row) {
    auto* l = new QLabel(WordText(entry), Body());
    grid->addWidget(l, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  };
  auto lamp = [&](const char* name) {
    auto* l = new QLabel(Body());
    l->setObjectName(name);
    l->setFixedSize(24, 24);
    return l;
  };

  nickEdit_ = new QLineEdit(Body());
  nickEdit_->setObjectName("Edit1");
  nickEdit_->setMaxLength(kNickLength);
  nickEdit_->setValidator(new FieldKeyValidator(AccountField::kPassportNick, nickEdit_));
  cityEdit_ = new QLineEdit(Body());
  cityEdit_->setObjectName("Edit2");
  cityEdit_->setMaxLength(kCityLength);
  cityEdit_->setValidator(new FieldKeyValidator(AccountField::kPassportCity, cityEdit_));
  continentBox_ = new QComboBox(Body());
  continentBox_->setObjectName("ComboBox1");
  countryBox_ = new QComboBox(Body());
  countryBox_->setObjectName("ComboBox2");
  countryBox_->setIconSize(QSize(kFlagWidth, 11));
  countryBox_->setMaxVisibleItems(16);
  sexBox_ = new QComboBox(Body());
  sexBox_->setObjectName("ComboBox3");
  for (QWidget* w :
       std::initializer_list<QWidget*>{nickEdit_, cityEdit_, continentBox_, countryBox_, sexBox_}) {
    w->setFont(editFont);
    w->setMinimumHeight(28);
  }
  nickLamp_ = lamp("LampNick");
  cityLamp_ = lamp("LampCity");

  label(kWordPassportNick, 0);
  grid->addWidget(nickEdit_, 0, 1);
  grid->addWidget(nickLamp_, 0, 2);
  label(kWordPassportCountry, 1);
  grid->addWidget(continentBox_, 1, 1);
  grid->addWidget(countryBox_, 2, 1);
  label(kWordPassportCity, 3);
  grid->addWidget(cityEdit_, 3, 1);
  grid->addWidget(cityLamp_, 3, 2);
  label(kWordPassportSex, 4);
  grid->addWidget(sexBox_, 4, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(5, 1);

  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  ok->setFixedSize(140, 32);
  ok_ = ok;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addStretch();
  grid->addLayout(buttons, 6, 0, 1, 3);
  connect(ok, &QAbstractButton::clicked, this, &PassportWindow::accept);

  for (int c = 0; c < kContinentCount; ++c)
    continentBox_->addItem(WordText(kContinentWords[static_cast<size_t>(c)]));
  sexBox_->addItem(QPixmap::fromImage(ProgramPng("FaceMan16")), WordText(kWordMan));
  sexBox_->addItem(QPixmap::fromImage(ProgramPng("FaceWoman16")), WordText(kWordWoman));

  // The window starts from the record; a damaged code shows Russia, a damaged sex a man.
  nickEdit_->setText(FromCp1251(settings.TopTenNick));
  cityEdit_->setText(FromCp1251(settings.TopTenCity));
  const auto [continent, row] = SplitCode(settings.TopTenCountry);
  continentBox_->setCurrentIndex(continent - 1);
  FillCountries(continent, row);
  sexBox_->setCurrentIndex(settings.TopTenSex == "W" ? 1 : 0);

  connect(continentBox_, &QComboBox::currentIndexChanged, this,
          [this](int index) { FillCountries(index + 1, 0); });
  connect(nickEdit_, &QLineEdit::textChanged, this, &PassportWindow::UpdateLamps);
  connect(cityEdit_, &QLineEdit::textChanged, this, &PassportWindow::UpdateLamps);
  UpdateLamps();
  SetBodySize(kBodyWidth, kBodyHeight);
}

void PassportWindow::FillCountries(int continent, int row) {
  countryBox_->clear();
  const auto table = CountryTable(continent);
  for (size_t i = 0; i < table.size(); ++i) {
    const std::string code = CountryCodeOf(continent, static_cast<int>(i));
    countryBox_->addItem(QPixmap::fromImage(CountryFlag(code)),
                         FromUtf8(CountryName(table[i], LanguageIndex())),
                         QString::fromStdString(code));
  }
  countryBox_->setCurrentIndex(row >= 0 && row < countryBox_->count() ? row : 0);
}

std::string PassportWindow::CountryCode() const {
  return countryBox_->currentData().toString().toStdString();
}

void PassportWindow::UpdateLamps() {
  nickRating_ = RateFieldText(AccountField::kPassportNick, nickEdit_->text());
  cityRating_ = RateFieldText(AccountField::kPassportCity, cityEdit_->text());
  nickLamp_->setPixmap(QPixmap::fromImage(FieldLamp(nickRating_)));
  cityLamp_->setPixmap(QPixmap::fromImage(FieldLamp(cityRating_)));
  nickLamp_->setProperty("rating", nickRating_);
  cityLamp_->setProperty("rating", cityRating_);
  // A nick or city the world table would refuse is not kept: the red lamp says which.
  if (ok_) ok_->setEnabled(nickRating_ > 1 && cityRating_ > 1);
}

void PassportWindow::accept() {
  if (nickRating_ <= 1 || cityRating_ <= 1) {
    // A run that answers its own windows cannot mend the fields: it leaves the record alone.
    if (ModalAutoClose() >= 0) AuxWindow::reject();
    return;
  }
  record_.TopTenNick = ToCp1251(nickEdit_->text());
  record_.TopTenCity = ToCp1251(cityEdit_->text());
  record_.TopTenCountry = CountryCode();
  record_.TopTenSex = std::string(1, sexBox_->currentIndex() == 1 ? 'W' : 'M');
  AuxWindow::accept();
}

bool OpenPassportWindow(TSettings& settings, QWidget* parent) {
  PassportWindow window(settings, parent);
  return ExecModal(window) == QDialog::Accepted;
}

}  // namespace trilane
