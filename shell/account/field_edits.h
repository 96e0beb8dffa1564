#pragma once
// The account and passport edits' side of the field rules: the rating a lamp shows for a
// text, and the validator that refuses a keystroke outside a field's characters. The rules
// themselves are the account rules'; this only carries the edits' text to them.
#include <QString>
#include <QValidator>

namespace trilane {

enum class AccountField { kNick, kCity, kPassword, kEMail, kPassportNick, kPassportCity };

// 1 invalid, 2 valid with a Cyrillic letter, 3 valid without.
int RateFieldText(AccountField field, const QString& text);

// Refuses a typed or pasted text holding a character the field never takes (nick and city:
// a character of no class; password and e-mail: anything but Latin letters, digits and the
// signs). A refused paste leaves the edit as it was.
class FieldKeyValidator : public QValidator {
 public:
  FieldKeyValidator(AccountField field, QObject* parent) : QValidator(parent), field_(field) {}
  State validate(QString& input, int& pos) const override;

 private:
  AccountField field_;
};

// The lamp picture's name for a rating: "LampR24", "LampY24" or "LampG24".
const char* LampPictureName(int rating);

}  // namespace trilane
