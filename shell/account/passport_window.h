#pragma once
// "My Passport": the identity sent with world-top-ten results when no account is in use. Nick
// and city with their lamps, the continent and the country (with its flag) and the sex; "Ok"
// keeps them in the settings record (TopTenNick, TopTenCountry, TopTenCity, TopTenSex).
// The record is written only by "Ok", and only while nick and city are valid; Esc leaves it
// as it was.
#include <QImage>
#include <string>
#include <string_view>

#include "shell/aux_window.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace trilane {

struct TSettings;

// The country code "C-RRR" of a continent (1..6) and row.
std::string CountryCodeOf(int continent, int row);
// The 16 x 11 flag of a country code "C-RRR" (the frame of its continent's flag strip);
// the "Unknown" flag of Europe for a code that names no country.
QImage CountryFlag(std::string_view countryCode);
// A lamp picture for a field rating: 1 red, 2 yellow, 3 green.
QImage FieldLamp(int rating);

class PassportWindow : public AuxWindow {
  Q_OBJECT

 public:
  PassportWindow(TSettings& settings, QWidget* parent);

  // The rating of each field as its lamp shows it (1 invalid, 2 with Cyrillic, 3 without).
  int NickRating() const { return nickRating_; }
  int CityRating() const { return cityRating_; }
  // The country code the lists show.
  std::string CountryCode() const;

  void accept() override;

 private:
  void FillCountries(int continent, int row);
  void UpdateLamps();

  TSettings& record_;
  QLineEdit* nickEdit_;
  QLineEdit* cityEdit_;
  QComboBox* continentBox_;
  QComboBox* countryBox_;
  QComboBox* sexBox_;
  QLabel* nickLamp_;
  QLabel* cityLamp_;
  QAbstractButton* ok_ = nullptr;
  int nickRating_ = 1;
  int cityRating_ = 1;
};

// Opens the passport over `parent` and returns when it is closed; true when "Ok" kept it.
bool OpenPassportWindow(TSettings& settings, QWidget* parent);

}  // namespace trilane
