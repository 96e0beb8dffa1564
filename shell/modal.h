#pragma once
// Modal windows and the system message boxes (error, information, Yes/No question) with
// their buttons in the current language. Every modal window of the program is run through
// ExecModal, so that a demo run can let them close by themselves instead of waiting for a
// player who is not there.
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace trilane {

// When set (>= 0), every modal window closes itself as accepted after this many
// milliseconds; a question is answered with its default. -1 (the default): wait for the
// player.
void SetModalAutoClose(int milliseconds);
int ModalAutoClose();

// Called with every modal window once it is on the screen (the screenshots use it).
void SetModalShownHook(std::function<void(QWidget&)> hook);

// Runs the dialog's own event loop; returns QDialog::exec's result. A self-closing run
// calls the dialog's accept(), so a window that checks its fields still checks them.
int ExecModal(QDialog& dialog);

void ShowError(QWidget* parent, const QString& text);
void ShowInformation(QWidget* parent, const QString& text);
// Yes/No; true for Yes. A self-closing run answers `autoAnswer`.
bool AskYesNo(QWidget* parent, const QString& text, bool autoAnswer = true);

// UTF-8 text of the words tables as a QString, its line breaks ("\n\r") made plain.
QString WordText(int entry);
// A composed text with its line breaks made plain.
QString ScreenText(QString text);

}  // namespace trilane
