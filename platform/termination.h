#pragma once
// A request from outside to end the program: SIGTERM (a session's logout, a service
// manager) or SIGINT (Ctrl+C in the terminal that started it). The signal handler only
// writes a byte; `ended` then runs on the thread that called this, from its event loop,
// where the program may close its windows and save what it keeps. Nothing happens on
// systems without these signals.
#include <QObject>
#include <functional>

namespace trilane {

// Call once, after the application object exists (later calls do nothing). `ended` runs
// once per signal.
void OnTerminationRequest(QObject* owner, std::function<void()> ended);

}  // namespace trilane
