#pragma once
// The custom-drawn button every window of the game uses: a rounded, shaded body built from
// three grey pieces (left end, middle, right end) of the program's pictures, tinted to the
// body colour, with a centred caption. Opaque and double-buffered: the body is drawn once
// into a cached picture and only rebuilt when its size or look changes.

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <array>

class QShortcut;

namespace trilane {

class QorCardsButton : public QAbstractButton {
  Q_OBJECT

 public:
  // The body colours; kCards is the "card" look of the purple designs.
  enum class BodyColour { kRed, kGreen, kBlue, kNavy, kYellow, kViolet, kOrange, kCards };
  // The design height the button was laid out for (the pieces follow the real height).
  enum class HeightClass { k30, k45, k60 };

  explicit QorCardsButton(QWidget* parent = nullptr);
  QorCardsButton(const QString& caption, QWidget* parent);

  BodyColour Body() const { return body_; }
  void SetBody(BodyColour colour);  // repaints only when it changes
  // Lightening of the body, 0 none .. 100 white; 50 dims a button.
  int Lightening() const { return lightening_; }
  void SetLightening(int amount);  // repaints only when it changes
  QColor CaptionColour() const { return captionColour_; }
  void SetCaptionColour(const QColor& colour);
  // The caption colour while the pointer is over the button (only with a light font).
  void SetHoverColour(const QColor& colour);
  void SetLightFont(bool on);
  void SetGreyWhenDisabled(bool on);
  void SetDesignHeight(HeightClass height) { heightClass_ = height; }
  void SetOutline(bool on);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool on);
  // The alternative piece set ("New buttons" in the options).
  bool AlternativeLook() const { return alternative_; }
  void SetAlternativeLook(bool on);
  // A small picture left of the caption.
  void SetGlyph(const QPixmap& glyph);

  // The dialog's default button: Return and Enter anywhere in its window press it (unless
  // the focus is on another button, which takes the key itself).
  bool isDefault() const { return isDefault_; }
  void setDefault(bool on);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // The three piece names for a button height: "R29_…" up to 30 pixels, "R44_…" up to 45,
  // "R59_…" above; "Q…" for the alternative look. Index 0 left, 1 right, 2 middle.
  static std::array<const char*, 3> PieceNames(int height, bool alternative);
  // The body colour before lightening.
  static QColor BaseColour(BodyColour colour);

 signals:
  void mouseEntered();
  void mouseLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Invalidate();
  const QImage& BodyPicture();

  BodyColour body_ = BodyColour::kRed;
  int lightening_ = 0;
  QColor captionColour_{255, 255, 255};
  QColor hoverColour_{255, 255, 0};
  bool lightFont_ = true;
  bool greyWhenDisabled_ = true;
  HeightClass heightClass_ = HeightClass::k30;
  bool outline_ = true;
  bool smooth_ = true;
  bool alternative_ = false;
  bool hovered_ = false;
  QPixmap glyph_;
  bool isDefault_ = false;
  QShortcut* returnKey_ = nullptr;
  QShortcut* enterKey_ = nullptr;

  QImage bodyCache_;
  bool cacheValid_ = false;
};

}  // namespace trilane
