#pragma once
// A picture that plays the frames of one of the program's GIF animations, or rests on its
// first frame.
#include <QLabel>
#include <QTimer>
#include <string>
#include <string_view>
#include <vector>

#include "platform/images.h"

namespace trilane {

class AnimationLabel : public QLabel {
  Q_OBJECT

 public:
  // The frames are decoded when first needed (shown, started or keyed out) and let go
  // when the label is hidden, so a screen that is not shown holds none of them.
  AnimationLabel(std::string_view resource, QWidget* parent);
  // Makes the frames' background (the colour of their top-left pixel) transparent, so the
  // animation sits on whatever lies under it.
  void KeyOutBackground();
  void SetRunning(bool running);
  bool Running() const { return timer_.isActive(); }
  // Whether the frames are decoded at the moment.
  bool FramesHeld() const { return loaded_; }
  int FrameCount() { return static_cast<int>(Frames().size()); }
  // Frames are drawn scaled to the label's size.
  void ShowFrame(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::vector<GifFrame>& Frames();
  void KeyOut();

  std::string resource_;
  bool loaded_ = false;
  bool keyOut_ = false;
  std::vector<GifFrame> frames_;
  int frame_ = 0;
  QTimer timer_;
  bool resumeRunning_ = false;  // hidden while running: runs on when shown again
};

}  // namespace trilane
