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
  // The frames are decoded when first needed (shown, started or keyed out).
  AnimationLabel(std::string_view resource, QWidget* parent);
  // Makes the frames' background (the colour of their top-left pixel) transparent, so the
  // animation sits on whatever lies under it.
  void KeyOutBackground();
  void SetRunning(bool running);
  bool Running() const { return timer_.isActive(); }
  int FrameCount() { return static_cast<int>(Frames().size()); }
  // Frames are drawn scaled to the label's size.
  void ShowFrame(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<GifFrame>& Frames();
  void KeyOut();

  std::string resource_;
  bool loaded_ = false;
  bool keyOut_ = false;
  std::vector<GifFrame> frames_;
  int frame_ = 0;
  QTimer timer_;
};

}  // namespace trilane
