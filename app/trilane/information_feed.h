#pragma once
// Feeds the main menu's information clock with web figures: each page the menu asks for is
// read on a worker thread from the club service in use, and drawn when the reply is in.
namespace trilane {

class MainMenu;

// Connects the menu's requests to the web; lives as long as the menu.
void FeedInformationClock(MainMenu& menu);

}  // namespace trilane
