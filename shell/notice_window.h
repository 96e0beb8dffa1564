#pragma once
// The notice window "Attention": a picture and up to three short lines, the third a link
// opened with the desktop, and "Ok". Every part of the program uses it for short notices
// (a missing add-on library, say); errors and questions use the message boxes.
#include <QDialog>
#include <QString>

#include "platform/graphics/notice.h"

class QLabel;

namespace trilane {

class NoticeWindow : public QDialog {
  Q_OBJECT

 public:
  NoticeWindow(const QString& line1, const QString& line2, const QString& link, QWidget* parent);

  // The client width the lines need: the widest line plus the picture column and a margin,
  // never below 400.
  static int ClientWidthFor(int widestLine);

 private:
  QLabel* AddLine(const QString& text, int top, bool link);
};

// The notice sink of the program: composes each line in the current language and shows the
// notice window over `parent`.
class WindowNotices : public NoticeSink {
 public:
  explicit WindowNotices(QWidget* parent) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ShowNotice(const NoticeLine& line1, const NoticeLine& line2,
                  const NoticeLine& line3) override;
  // How many notices were shown (the start-up and tests look at it).
  int Shown() const { return shown_; }

 private:
  QWidget* parent_;
  int shown_ = 0;
};

QString NoticeText(const NoticeLine& line);

}  // namespace trilane
