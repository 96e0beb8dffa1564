#pragma once
// The network fields of the player window: host or join, the host's address and port, and
// the help for finding this machine's own addresses. The checks are plain functions so
// they can be tried without a window; the panel shows them in the window's error line.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QGroupBox;

namespace trilane {

struct TSettings;
class QorCardsButton;

inline constexpr char kDefaultDirectPort[] = "25666";
inline constexpr char kLoopbackAddress[] = "127.0.0.1";
// How many of this machine's addresses the player window can show.
inline constexpr int kOwnAddressFields = 6;

// The address field admits digits and points only; the port field digits only. A typed
// text that breaks the rule puts the last accepted text back.
bool AddressTextAllowed(std::string_view text);
bool PortTextAllowed(std::string_view text);

// An address to join: exactly three points cutting it into four groups of one to three
// characters. The value of a group is not looked at ("999" passes).
bool AddressFormatOk(std::string_view text);

enum class NetFieldFault { kNone, kIncorrectAddress, kIncorrectPort };

struct NetChoice {
  bool joining = false;
  std::string address;  // joining only
  uint16_t port = 0;
};

// The checks of the window's OK: the address when joining, then the port. A port must be
// a number the sockets can use (1..65535); an empty one or one out of range is refused
// with the same message, rather than wrapping around to some other port.
NetFieldFault CheckNetFields(bool joining, std::string_view address, std::string_view port,
                             NetChoice* choice = nullptr);

// This machine's own addresses for the player window: the IPv4 addresses of its
// interfaces, then the address the web service sees (when it could be had), then the
// loopback address. The interfaces give way so that the last two always have a field.
struct OwnAddress {
  QString address;
  QString hint;  // the web service's home for the outside address, "Loop" for loopback
};
std::vector<OwnAddress> OwnAddressLines(const QStringList& interfaces,
                                        const std::optional<std::string>& outside,
                                        const QString& serviceHome);
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
