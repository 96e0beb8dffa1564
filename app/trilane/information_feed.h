#pragma once
// Feeds the main menu's information clock with web figures: each page the menu asks for is
// read on a worker thread from the club service in use, and drawn when the reply is in.
#include <functional>
#include <string>

namespace trilane {

class MainMenu;

// Connects the menu's requests to the web; lives as long as the menu.
void FeedInformationClock(MainMenu& menu);

// The nick of the signed-in account (code page 1251; empty without one), asked at every
// page: with an account the clock's Qors page shows its balance.
void SetInformationAccount(std::function<std::string()> signedInNick);

}  // namespace trilane
