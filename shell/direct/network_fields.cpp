#include "shell/direct/network_fields.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/paths.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "shell/widgets/qor_button.h"
#include "web/calls.h"
#include "web/curl_transport.h"
#include "web/service_addresses.h"
#include "words/word_entries.h"

namespace trilane {

namespace {

constexpr auto kOutsideAddressTimeout = std::chrono::milliseconds(4000);

}  // namespace

QStringList InterfaceAddresses() {
  QStringList out;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback()) continue;
    out << address.toString();
  }
  return out;
}

OutsideAddressSource ServiceOutsideAddress() {
  OutsideAddressSource source;
  web::ServiceAddresses addresses = web::BuiltInAddresses();
  if (const auto directory = web::ServiceOverride()) {
    if (auto under = web::AddressesUnder(*directory)) addresses = *under;
  }
  source.serviceHome =
      QString::fromStdString(web::ServiceOrigin(addresses.addressEcho).value_or(std::string()));
  source.fetch = [addresses]() -> std::optional<std::string> {
    web::CurlTransport transport;
    web::WebClient client(transport, addresses);
    client.SetReadTimeout(kOutsideAddressTimeout);
    return client.WebOwnAddress();
  };
  return source;
}

NetworkFieldsPanel::NetworkFieldsPanel(TSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("NetworkFields");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(3);

  group_ = new QGroupBox(WordText(kWordServerClient), this);
  group_->setObjectName("RadioGroup1");
  auto* groupLayout = new QVBoxLayout(group_);
  groupLayout->setContentsMargins(8, 2, 8, 2);
  groupLayout->setSpacing(0);
  host_ = new QRadioButton(WordText(kWordServerCreatesGame), group_);
  host_->setObjectName("RadioItem0");
  join_ = new QRadioButton(WordText(kWordClientJoinsGame), group_);
  join_->setObjectName("RadioItem1");
  groupLayout->addWidget(host_);
  groupLayout->addWidget(join_);
  grid->addWidget(group_, 0, 0, 1, 2);

  addressLabel_ = new QLabel(WordText(kWordEnterServerIp), this);
  addressLabel_->setObjectName("Label5");
  address_ = new QLineEdit(this);
  address_->setObjectName("Edit4");
  address_->setMaxLength(15);
  portLabel_ = new QLabel(WordText(kWordEnterServerPort), this);
  portLabel_->setObjectName("Label6");
  port_ = new QLineEdit(this);
  port_->setObjectName("Edit5");
  port_->setMaxLength(5);
  gamesLabel_ = new QLabel(WordText(kWordNumberGames), this);
  gamesLabel_->setObjectName("Label7");
  games_ = new QSpinBox(this);
  games_->setObjectName("SpinEdit1");
  games_->setRange(4, 4);
  games_->setValue(4);
  const QFont editFont = RoleFont(settings, FontRole::kConew, 15, true);
  for (QWidget* w : {static_cast<QWidget*>(address_), static_cast<QWidget*>(port_),
                     static_cast<QWidget*>(games_)}) {
    w->setFont(editFont);
  }
  grid->addWidget(addressLabel_, 1, 0);
  grid->addWidget(address_, 1, 1);
  grid->addWidget(portLabel_, 2, 0);
  grid->addWidget(port_, 2, 1);
  grid->addWidget(gamesLabel_, 3, 0);
  grid->addWidget(games_, 3, 1);
  gamesLabel_->setEnabled(false);
  games_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  ownAddresses_ = new QorCardsButton(WordText(kWordReceiveIpAddresses), this);
  ownAddresses_->setObjectName("Button3");
  help_ = new QorCardsButton(QStringLiteral("?"), this);
  help_->setObjectName("Button4");
  for (QorCardsButton* b : {ownAddresses_, help_}) {
    b->SetBody(QorCardsButton::BodyColour::kBlue);
    b->SetCaptionColour(Qt::white);
    b->SetHoverColour(QColor(255, 255, 0));
    b->SetAlternativeLook(settings.NewButtons);
    b->setFont(RoleFont(settings, FontRole::kDecor, 14, true));
    b->setFixedHeight(26);
    b->setCursor(Qt::PointingHandCursor);
  }
  help_->setFixedWidth(30);
  buttons->addWidget(ownAddresses_, 1);
  buttons->addWidget(help_);
  grid->addLayout(buttons, 4, 0, 1, 2);

  auto* own = new QGridLayout;
  own->setHorizontalSpacing(4);
  own->setVerticalSpacing(2);
  for (int i = 0; i < kOwnAddressFields; ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString("EditIP%1").arg(i + 1));
    field->setReadOnly(true);
    field->setVisible(false);
    own->addWidget(field, i / 2, i % 2);
    ownFields_[static_cast<size_t>(i)] = field;
  }
  grid->addLayout(own, 5, 0, 1, 2);

  error_ = new QLabel(this);
  error_->setObjectName("Label4");
  error_->setStyleSheet("color: rgb(200, 0, 0);");
  error_->setAlignment(Qt::AlignCenter);
  error_->setVisible(false);
  grid->addWidget(error_, 6, 0, 1, 2);

  // As the window opens: hosting, no address, the remembered port.
  host_->setChecked(true);
  addressLabel_->setEnabled(false);
  address_->setEnabled(false);
  lastPort_ = QString::fromStdString(settings_.ServerPort);
  if (!PortTextAllowed(settings_.ServerPort)) lastPort_ = QString::fromLatin1(kDefaultDirectPort);
  port_->setText(lastPort_);

  connect(host_, &QRadioButton::toggled, this, [this](bool hosting) { ChooseJoining(!hosting); });
  connect(address_, &QLineEdit::textEdited, this, &NetworkFieldsPanel::AddressEdited);
  connect(port_, &QLineEdit::textEdited, this, &NetworkFieldsPanel::PortEdited);
  connect(ownAddresses_, &QAbstractButton::clicked, this, &NetworkFieldsPanel::ShowOwnAddresses);
  connect(help_, &QAbstractButton::clicked, this, [this] {
    if (!outside_.serviceHome.isEmpty()) OpenWithShell(outside_.serviceHome + "/help/router.html");
  });
}

bool NetworkFieldsPanel::Joining() const {
  return join_->isChecked();
}

void NetworkFieldsPanel::ChooseJoining(bool joining) {
  if (join_->isChecked() != joining) {
    // The radio buttons call back here once the check has moved.
    (joining ? join_ : host_)->setChecked(true);
    return;
  }
  addressLabel_->setEnabled(joining);
  address_->setEnabled(joining);
  lastAddress_ = joining ? QString::fromStdString(settings_.ServerAddress) : QString();
  address_->setText(lastAddress_);
  error_->setVisible(false);
}

void NetworkFieldsPanel::AddressEdited(const QString& text) {
  error_->setVisible(false);
  if (!AddressTextAllowed(ToUtf8(text))) {
    const int cursor = std::max(0, address_->cursorPosition() - 1);
    address_->setText(lastAddress_);
    address_->setCursorPosition(std::min(cursor, static_cast<int>(lastAddress_.size())));
    return;
  }
  lastAddress_ = text;
  if (Joining() && !text.isEmpty()) settings_.ServerAddress = ToUtf8(text);
}

void NetworkFieldsPanel::PortEdited(const QString& text) {
  error_->setVisible(false);
  if (!PortTextAllowed(ToUtf8(text))) {
    const int cursor = std::max(0, port_->cursorPosition() - 1);
    port_->setText(lastPort_);
    port_->setCursorPosition(std::min(cursor, static_cast<int>(lastPort_.size())));
    return;
  }
  lastPort_ = text;
  settings_.ServerPort = ToUtf8(text);
}

void NetworkFieldsPanel::ShowFault(NetFieldFault fault, const QString& detail) {
  if (fault == NetFieldFault::kNone) return;
  const bool address = fault == NetFieldFault::kIncorrectAddress;
  QString text = WordText(address ? kWordIncorrectIpAddress : kWordIncorrectPort);
  if (!detail.isEmpty()) text += QStringLiteral(" ") + detail;
  error_->setText(text);
  error_->setVisible(true);
  (address ? address_ : port_)->setFocus();
}

std::optional<NetChoice> NetworkFieldsPanel::Accept() {
  NetChoice choice;
  const NetFieldFault fault =
      CheckNetFields(Joining(), ToUtf8(address_->text()), ToUtf8(port_->text()), &choice);
  if (fault != NetFieldFault::kNone) {
    ShowFault(fault);
    return std::nullopt;
  }
  if (choice.joining) settings_.ServerAddress = choice.address;
  settings_.ServerPort = std::to_string(choice.port);
  return choice;
}

QString NetworkFieldsPanel::ErrorText() const {
  return error_->isVisible() ? error_->text() : QString();
}

void NetworkFieldsPanel::ShowOwnAddresses() {
  const std::optional<std::string> outside =
      outside_.fetch ? outside_.fetch() : std::optional<std::string>();
  std::vector<std::string> interfaces;
  for (const QString& address : InterfaceAddresses()) interfaces.push_back(address.toStdString());
  const std::vector<OwnAddress> lines =
      OwnAddressLines(interfaces, outside, outside_.serviceHome.toStdString());
  for (size_t i = 0; i < ownFields_.size(); ++i) {
    QLineEdit* field = ownFields_[i];
    const bool shown = i < lines.size();
    field->setVisible(shown);
    field->setText(shown ? QString::fromStdString(lines[i].address) : QString());
    field->setToolTip(shown ? QString::fromStdString(lines[i].hint) : QString());
  }
}

}  // namespace trilane
