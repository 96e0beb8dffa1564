#include "shell/animation_label.h"

#include <QPixmap>
#include <algorithm>

#include "shell/pictures.h"
#include "shell/text.h"

namespace trilane {

AnimationLabel::AnimationLabel(std::string_view resource, QWidget* parent)
    : QLabel(parent), resource_(resource) {
  setObjectName(FromUtf8(resource));
  setAttribute(Qt::WA_TranslucentBackground);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (Frames().empty()) return;
    ShowFrame((frame_ + 1) % FrameCount());
    timer_.start(std::max(20, frames_[frame_].delayMs));
  });
}

std::vector<GifFrame>& AnimationLabel::Frames() {
  if (loaded_) return frames_;
  loaded_ = true;
  frames_ = ProgramGif(resource_);
  if (keyOut_) KeyOut();
  return frames_;
}

void AnimationLabel::KeyOutBackground() {
  keyOut_ = true;
  if (loaded_) KeyOut();
}

void AnimationLabel::showEvent(QShowEvent* event) {
  QLabel::showEvent(event);
  ShowFrame(frame_);
  if (resumeRunning_) {
    resumeRunning_ = false;
    SetRunning(true);
  }
}

void AnimationLabel::hideEvent(QHideEvent* event) {
  QLabel::hideEvent(event);
  // Hidden (its screen left, or the animations turned off) the label keeps its place in
  // the animation but none of the pictures: they are decoded again when it is shown.
  const bool running = timer_.isActive();
  timer_.stop();
  clear();
  frames_.clear();
  frames_.shrink_to_fit();
  loaded_ = false;
  resumeRunning_ = running;
}

void AnimationLabel::KeyOut() {
  for (GifFrame& frame : frames_) {
    QImage image = frame.image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) continue;
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
      }
    }
    frame.image = image;
  }
}

void AnimationLabel::SetRunning(bool running) {
  resumeRunning_ = false;
  if (!running) {
    timer_.stop();
    ShowFrame(0);
    return;
  }
  if (!isVisible()) {
    resumeRunning_ = true;  // decoded and started once it is shown
    return;
  }
  if (!Frames().empty() && !timer_.isActive()) timer_.start(std::max(20, frames_[frame_].delayMs));
}

void AnimationLabel::ShowFrame(int index) {
  if (!isVisible() && !loaded_) return;  // decoded once it is shown
  if (Frames().empty()) return;
  frame_ = std::clamp(index, 0, FrameCount() - 1);
  const QImage& image = frames_[frame_].image;
  if (size() == image.size() || width() <= 0 || height() <= 0) {
    setPixmap(QPixmap::fromImage(image));
  } else {
    setPixmap(
        QPixmap::fromImage(image.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  }
}

void AnimationLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ShowFrame(frame_);
}

}  // namespace trilane
