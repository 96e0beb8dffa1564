#include "shell/account/field_edits.h"

#include <optional>
#include <string>

#include "shell/text.h"
#include "web/account_rules.h"

namespace trilane {
namespace {

bool KeyAllowed(AccountField field, char key) {
  switch (field) {
    case AccountField::kNick:
      return web::KeyAllowedInNick(key);
    case AccountField::kCity:
      return web::KeyAllowedInCity(key);
    case AccountField::kPassword:
      return web::KeyAllowedInPassword(key);
    case AccountField::kEMail:
      return web::KeyAllowedInEmail(key);
    case AccountField::kPassportNick:
    case AccountField::kPassportCity:
      break;
  }
  return web::IsNameCharacter(key);
}

}  // namespace

int RateFieldText(AccountField field, const QString& text) {
  // The edits hold Unicode; the rules read code page 1251. A character the code page lacks
  // belongs to no class.
  const auto bytes = ToCp1251Exactly(text);
  if (!bytes) return static_cast<int>(web::FieldVerdict::kInvalid);
  web::FieldVerdict rating = web::FieldVerdict::kInvalid;
  switch (field) {
    case AccountField::kNick:
      rating = web::RateNick(*bytes);
      break;
    case AccountField::kCity:
      rating = web::RateCity(*bytes);
      break;
    case AccountField::kPassword:
      rating = web::RatePassword(*bytes);
      break;
    case AccountField::kEMail:
      rating = web::RateEmail(*bytes);
      break;
    case AccountField::kPassportNick:
      rating = web::RatePassportNick(*bytes);
      break;
    case AccountField::kPassportCity:
      rating = web::RatePassportCity(*bytes);
      break;
  }
  return static_cast<int>(rating);
}

QValidator::State FieldKeyValidator::validate(QString& input, int&) const {
  const auto bytes = ToCp1251Exactly(input);
  if (!bytes) return Invalid;
  for (char c : *bytes) {
    if (!KeyAllowed(field_, c)) return Invalid;
  }
  return Acceptable;
}

const char* LampPictureName(int rating) {
  switch (rating) {
    case 3:
      return "LampG24";
    case 2:
      return "LampY24";
    default:
      return "LampR24";
  }
}

}  // namespace trilane
