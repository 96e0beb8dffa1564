#include "shell/account/profile_editor.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <span>

#include "platform/images.h"
#include "program/account_in_use.h"
#include "shell/account/field_edits.h"
#include "shell/account/profile_widgets.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 770;
constexpr int kBodyHeight = 560;
constexpr int kPhotoWidth = 200;
constexpr int kPhotoHeight = 250;

struct ProfileEdit {
  const char* name;
  int maxLength;
  int prompt;
  std::string web::TInfo14::*field;
};

// The profile's fields in order, with the service's limits.
constexpr std::array<ProfileEdit, 14> kEdits = {{
    {"EditName1", 20, kWordYourName, &web::TInfo14::Name1},
    {"EditName2", 20, kWordYourLastName, &web::TInfo14::Name2},
    {"EditAbout", 50, kWordBriefInformation, &web::TInfo14::About},
    {"EditTelephone", 20, kWordYourPhoneNumber, &web::TInfo14::Telephone},
    {"EditEMail", 50, kWordYourEMail, &web::TInfo14::EMailO},
    {"EditWebSite", 50, kWordYourWebSite, &web::TInfo14::WebSite},
    {"EditSkype", 50, kWordYourSkype, &web::TInfo14::Skype},
    {"EditOK", 50, kWordYourOK, &web::TInfo14::OK},
    {"EditVK", 50, kWordYourVK, &web::TInfo14::VK},
    {"EditTelegram", 50, kWordYourTelegram, &web::TInfo14::Telegram},
    {"EditFaceBook", 60, kWordYourFacebook, &web::TInfo14::FaceBook},
    {"EditTwitter", 50, kWordYourTwitter, &web::TInfo14::Twitter},
    {"EditInstagramm", 50, kWordYourInstagram, &web::TInfo14::Instagramm},
    {"EditYouTube", 50, kWordYourYouTube, &web::TInfo14::YouTube},
}};

// Refuses characters the code page of the profile cannot hold, so that what the player
// typed is what the club shows.
class Cp1251Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return ToCp1251Exactly(input) ? Acceptable : Invalid;
  }
};

}  // namespace

bool IsAccountPhoto(const std::string& bytes) {
  if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xD8)
    return false;
  const QImage image = DecodeJpeg(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  return !image.isNull() && image.width() == kPhotoWidth && image.height() == kPhotoHeight;
}

ProfileEditor::ProfileEditor(const TSettings& settings, AccountInUse& account, QWidget* parent,
                             std::function<QString(QWidget*)> choosePhoto)
    : AuxWindow(settings, AuxHeader{WordText(kWordMyAccount), 610, 40}, parent),
      account_(account),
      choosePhoto_(std::move(choosePhoto)) {
  setObjectName("FAcc2");
  if (!choosePhoto_) {
    choosePhoto_ = [](QWidget* owner) {
      return QFileDialog::getOpenFileName(owner, QString(), QString(), "JPEG (*.jpg *.jpeg)");
    };
  }
  auto* columns = new QHBoxLayout(Body());
  columns->setContentsMargins(16, 10, 16, 12);
  columns->setSpacing(16);

  auto* left = new QVBoxLayout;
  photo_ = new PhotoFrame(Body());
  photo_->setCursor(Qt::PointingHandCursor);
  photo_->SetPhoto(account.OwnPhoto(), account.User().Sex);
  left->addWidget(photo_);
  auto* note = new QLabel(WordText(kWordInformationIsPublic), Body());
  note->setObjectName("LabelNote");
  note->setWordWrap(true);
  note->setFixedWidth(240);
  left->addWidget(note);
  left->addStretch();
  columns->addLayout(left);

  auto* right = new QVBoxLayout;
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  const QFont editFont = RoleFont(settings, FontRole::kSerif, 15, false);
  const QFont promptFont = RoleFont(settings, FontRole::kSerif, 14, true);
  const web::TInfo14& info = account.User().Info;
  for (size_t i = 0; i < kEdits.size(); ++i) {
    const ProfileEdit& row = kEdits[i];
    auto* prompt = new QLabel(WordText(row.prompt), Body());
    prompt->setFont(promptFont);
    auto* edit = new QLineEdit(Body());
    edit->setObjectName(row.name);
    edit->setMaxLength(row.maxLength);
    edit->setFont(editFont);
    edit->setValidator(new Cp1251Validator(edit));
    edit->setText(FromCp1251(web::ShownField(info.*row.field)));
    connect(edit, &QLineEdit::textEdited, this, [this] { updateInfo_->setEnabled(true); });
    grid->addWidget(prompt, static_cast<int>(i), 0);
    grid->addWidget(edit, static_cast<int>(i), 1);
    edits_[i] = edit;
  }
  grid->setColumnStretch(1, 1);
  right->addLayout(grid);
  right->addStretch();

  auto* buttons = new QHBoxLayout;
  auto* updateInfo = MakeButton(WordText(kWordUpdateInfo), Body());
  updateInfo->setObjectName("ButtonOkI");
  auto* refreshPhoto = MakeButton(WordText(kWordRefreshPhoto), Body());
  refreshPhoto->setObjectName("ButtonOKF");
  auto* close = MakeButton(WordText(kWordProfileClose), Body());
  close->setObjectName("ButtonCancel");
  for (auto* b : {updateInfo, refreshPhoto, close}) {
    b->setFixedHeight(32);
    b->setMinimumWidth(150);
    buttons->addWidget(b);
  }
  right->addLayout(buttons);
  columns->addLayout(right, 1);
  updateInfo_ = updateInfo;
  refreshPhoto_ = refreshPhoto;
  updateInfo_->setEnabled(false);
  refreshPhoto_->setEnabled(false);

  connect(photo_, &PhotoFrame::clicked, this, &ProfileEditor::ChoosePhoto);
  connect(updateInfo, &QAbstractButton::clicked, this, &ProfileEditor::UpdateInfo);
  connect(refreshPhoto, &QAbstractButton::clicked, this, &ProfileEditor::RefreshPhoto);
  connect(close, &QAbstractButton::clicked, this, &QDialog::accept);
  SetBodySize(kBodyWidth, kBodyHeight);
}

web::TInfo14 ProfileEditor::EditedProfile() const {
  web::TInfo14 info;
  for (size_t i = 0; i < kEdits.size(); ++i) info.*kEdits[i].field = ToCp1251(edits_[i]->text());
  return info;
}

void ProfileEditor::UpdateInfo() {
  if (!account_.UpdateProfile(EditedProfile())) {
    // Nothing was stored: the button stays so the player can send it again.
    ShowError(this, WordText(kWordNoConnectMessage));
    return;
  }
  updateInfo_->setEnabled(false);
  const web::TInfo14& read = account_.User().Info;
  for (size_t i = 0; i < kEdits.size(); ++i)
    edits_[i]->setText(FromCp1251(web::ShownField(read.*kEdits[i].field)));
}

void ProfileEditor::ChoosePhoto() {
  const QString path = choosePhoto_(this);
  if (path.isEmpty()) return;
  QFile file(path);
  std::string bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll().toStdString();
  if (!IsAccountPhoto(bytes)) {
    ShowError(this, WordText(kWordPhotoFormat));
    return;
  }
  chosenPhoto_ = std::move(bytes);
  photo_->SetPhoto(chosenPhoto_, account_.User().Sex);
  refreshPhoto_->setEnabled(true);
}

void ProfileEditor::RefreshPhoto() {
  if (chosenPhoto_.empty()) return;
  if (!account_.Client().UploadPhoto(account_.User().Nick, chosenPhoto_)) {
    ShowError(this, WordText(kWordPhotoUploadFailed));
    return;
  }
  account_.RefreshPhoto();
  photo_->SetPhoto(account_.OwnPhoto(), account_.User().Sex);
  refreshPhoto_->setEnabled(false);
}

}  // namespace trilane
