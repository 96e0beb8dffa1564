// The network fields panel of the player window: what typing may put into the fields,
// hosting and joining, the faults shown, and the list of own addresses.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "records/settings.h"
#include "shell/direct/network_fields.h"
#include "table_test_app.h"
#include "words/word_entries.h"
#include "words/words.h"

namespace trilane {
namespace {

QString English(int entry) {
  return QString::fromUtf8(Word(entry).data(), static_cast<qsizetype>(Word(entry).size()));
}

class NetworkFieldsPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TableTestApp();
    settings_.ServerAddress = "10.1.2.3";
    settings_.ServerPort = "25777";
    panel_ = std::make_unique<NetworkFieldsPanel>(settings_, nullptr);
    panel_->show();
    join_ = panel_->findChild<QRadioButton*>("RadioItem1");
    host_ = panel_->findChild<QRadioButton*>("RadioItem0");
    ASSERT_NE(join_, nullptr);
    ASSERT_NE(host_, nullptr);
  }
  TSettings settings_;
  std::unique_ptr<NetworkFieldsPanel> panel_;
  QRadioButton* join_ = nullptr;
  QRadioButton* host_ = nullptr;
};

TEST_F(NetworkFieldsPanelTest, OpensAsHostAndSwitchesAddressWithTheChoice) {
  QLineEdit* address = panel_->AddressField();
  EXPECT_FALSE(panel_->Joining());
  EXPECT_EQ(panel_->NetId(), 1);
  EXPECT_FALSE(address->isEnabled());
  EXPECT_TRUE(address->text().isEmpty());
  EXPECT_EQ(panel_->PortField()->text(), "25777");
  EXPECT_FALSE(panel_->findChild<QWidget*>("SpinEdit1")->isEnabled());

  QTest::mouseClick(join_, Qt::LeftButton);
  EXPECT_TRUE(panel_->Joining());
  EXPECT_EQ(panel_->NetId(), 2);
  EXPECT_TRUE(address->isEnabled());
  EXPECT_EQ(address->text(), "10.1.2.3");

  QTest::mouseClick(host_, Qt::LeftButton);
  EXPECT_FALSE(address->isEnabled());
  EXPECT_TRUE(address->text().isEmpty());
}

TEST_F(NetworkFieldsPanelTest, TypedLettersDisappearAndAcceptedTextsAreRemembered) {
  panel_->ChooseJoining(true);
  QLineEdit* address = panel_->AddressField();
  QLineEdit* port = panel_->PortField();
  address->clear();
  QTest::keyClicks(address, "192.168.1.x5");
  EXPECT_EQ(address->text(), "192.168.1.5");
  EXPECT_EQ(settings_.ServerAddress, "192.168.1.5");

  port->clear();
  QTest::keyClicks(port, "12a3");
  EXPECT_EQ(port->text(), "123");
  EXPECT_EQ(settings_.ServerPort, "123");
}

TEST_F(NetworkFieldsPanelTest, AcceptShowsTheFaultAndFocusesItsField) {
  panel_->ChooseJoining(true);
  panel_->AddressField()->setText("10.1.2");
  EXPECT_FALSE(panel_->Accept().has_value());
  EXPECT_EQ(panel_->ErrorText(), English(kWordIncorrectIpAddress));
  EXPECT_EQ(panel_->focusWidget(), panel_->AddressField());

  // Any typing hides the error line again.
  QTest::keyClicks(panel_->AddressField(), ".4");
  EXPECT_TRUE(panel_->ErrorText().isEmpty());

  panel_->PortField()->clear();
  EXPECT_FALSE(panel_->Accept().has_value());
  EXPECT_EQ(panel_->ErrorText(), English(kWordIncorrectPort));
  EXPECT_EQ(panel_->focusWidget(), panel_->PortField());

  panel_->PortField()->setText("2500");
  const auto choice = panel_->Accept();
  ASSERT_TRUE(choice.has_value());
  EXPECT_TRUE(choice->joining);
  EXPECT_EQ(choice->address, "10.1.2.4");
  EXPECT_EQ(choice->port, 2500);
  EXPECT_EQ(settings_.ServerAddress, "10.1.2.4");
  EXPECT_EQ(settings_.ServerPort, "2500");
}

TEST_F(NetworkFieldsPanelTest, OwnAddressesEndWithTheEchoAndLoopback) {
  OutsideAddressSource source;
  source.fetch = [] { return std::optional<std::string>("198.51.100.7"); };
  source.serviceHome = "http://127.0.0.1:8094";
  panel_->SetOutsideAddressSource(source);
  panel_->ShowOwnAddresses();
  std::vector<QLineEdit*> shown;
  for (int i = 1; i <= kOwnAddressFields; ++i) {
    auto* field = panel_->findChild<QLineEdit*>(QString("EditIP%1").arg(i));
    ASSERT_NE(field, nullptr);
    if (field->isVisible()) shown.push_back(field);
  }
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[shown.size() - 2]->text(), "198.51.100.7");
  EXPECT_EQ(shown[shown.size() - 2]->toolTip(), "http://127.0.0.1:8094");
  EXPECT_EQ(shown.back()->text(), "127.0.0.1");
  EXPECT_EQ(shown.back()->toolTip(), "Loop");
}

}  // namespace
}  // namespace trilane
