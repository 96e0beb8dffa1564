#include "shell/modal.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

int g_autoClose = -1;
std::function<void(QWidget&)> g_shownHook;

void AfterShown(QWidget& window) {
  if (!g_shownHook) return;
  // A moment after the window appears, once it has painted.
  QTimer::singleShot(120, &window, [&window] {
    if (g_shownHook) g_shownHook(window);
  });
}

}  // namespace

void SetModalAutoClose(int milliseconds) {
  g_autoClose = milliseconds;
}
int ModalAutoClose() {
  return g_autoClose;
}

QString ScreenText(QString text) {
  text.replace(QLatin1String("\\n\\r"), QLatin1String("\n"));
  text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return text;
}

QString WordText(int entry) {
  const std::string_view text = Word(entry);
  return ScreenText(FromUtf8(text));
}

void SetModalShownHook(std::function<void(QWidget&)> hook) {
  g_shownHook = std::move(hook);
}

int ExecModal(QDialog& dialog) {
  AfterShown(dialog);
  if (g_autoClose >= 0) {
    QTimer::singleShot(g_autoClose, &dialog, [&dialog] { dialog.accept(); });
  }
  return dialog.exec();
}

namespace {

QMessageBox::StandardButton RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                   bool question, bool autoAnswer) {
  const std::string_view title = ProductTitle();
  QMessageBox box(icon, FromUtf8(title), ScreenText(text), QMessageBox::NoButton, parent);
  box.setObjectName("MessageBox");
  if (question) {
    box.addButton(QMessageBox::Yes)->setText(WordText(kWordYes));
    box.addButton(QMessageBox::No)->setText(WordText(kWordNo));
    box.setDefaultButton(autoAnswer ? QMessageBox::Yes : QMessageBox::No);
  } else {
    box.addButton(QMessageBox::Ok)->setText(WordText(kWordOk));
  }
  AfterShown(box);
  if (g_autoClose >= 0) {
    QTimer::singleShot(g_autoClose, &box, [&box, question, autoAnswer] {
      if (!question) {
        box.done(QMessageBox::Ok);
      } else {
        box.done(autoAnswer ? QMessageBox::Yes : QMessageBox::No);
      }
    });
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void ShowError(QWidget* parent, const QString& text) {
  RunBox(parent, QMessageBox::Critical, text, false, true);
}

void ShowInformation(QWidget* parent, const QString& text) {
  RunBox(parent, QMessageBox::Information, text, false, true);
}

bool AskYesNo(QWidget* parent, const QString& text, bool autoAnswer) {
  return RunBox(parent, QMessageBox::Question, text, true, autoAnswer) == QMessageBox::Yes;
}

}  // namespace trilane
