#pragma once
// The network fields of the player window: host or join, the host's address and port, and
// the help for finding this machine's own addresses. The checks are the program's
// (program/direct_fields.h); the panel shows them in the window's error line.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "program/direct_fields.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QGroupBox;

namespace trilane {

struct TSettings;
class QorCardsButton;

// The machine's IPv4 interface addresses, loopback left out (it has its own line).
QStringList InterfaceAddresses();

// The address the service's echo script sees, or nothing; and the service's home address.
struct OutsideAddressSource {
  std::function<std::optional<std::string>()> fetch;
  QString serviceHome;
};
// The echo of the web service the program uses (a short time-out: the window waits).
OutsideAddressSource ServiceOutsideAddress();

class NetworkFieldsPanel : public QWidget {
  Q_OBJECT

 public:
  // The panel as the player window shows it in network play: hosting chosen, the address
  // field empty and disabled, the port from the settings. `settings` keeps the remembered
  // address and port and must outlive the panel.
  NetworkFieldsPanel(TSettings& settings, QWidget* parent);

  void SetOutsideAddressSource(OutsideAddressSource source) { outside_ = std::move(source); }

  bool Joining() const;
  // 1 while hosting is chosen, 2 while joining (a joiner is 2 until the host seats it).
  int NetId() const { return Joining() ? 2 : 1; }
  void ChooseJoining(bool joining);

  // OK of the player window: the checks; on a fault the error line shows its message, the
  // field gets the focus and nothing is returned. The accepted texts are remembered.
  std::optional<NetChoice> Accept();
  // A fault found later (a port that cannot be listened on): the error line shows the
  // fault's message, followed by `detail` when there is one.
  void ShowFault(NetFieldFault fault, const QString& detail = QString());
  // The error line as shown now (empty when hidden).
  QString ErrorText() const;

  // "To receive the IP-addresses".
  void ShowOwnAddresses();

  QLineEdit* AddressField() const { return address_; }
  QLineEdit* PortField() const { return port_; }

 private:
  void AddressEdited(const QString& text);
  void PortEdited(const QString& text);

  TSettings& settings_;
  OutsideAddressSource outside_;
  QGroupBox* group_;
  QRadioButton* host_;
  QRadioButton* join_;
  QLabel* addressLabel_;
  QLineEdit* address_;
  QLabel* portLabel_;
  QLineEdit* port_;
  QLabel* gamesLabel_;
  QSpinBox* games_;
  QorCardsButton* ownAddresses_;
  QorCardsButton* help_;
  std::array<QLineEdit*, kOwnAddressFields> ownFields_{};
  QLabel* error_;
  QString lastAddress_;
  QString lastPort_;
};

}  // namespace trilane
