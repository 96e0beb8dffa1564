// Table backgrounds: ten pictures in seven colours, drawn in normalised coordinates so the
// small and the large form of a picture show the same thing. Textures come from a hashed
// value noise, so every run gives the same pixels.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "assets/artgen/artgen.h"

namespace trilane::artgen {
namespace {

double Hash2(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xffffff) / double(0xffffff);
}

double Smooth(double t) {
  return t * t * (3 - 2 * t);
}

// Value noise at a point given in cells.
double Noise(double x, double y, uint32_t seed) {
  const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
  const double fx = Smooth(x - xi), fy = Smooth(y - yi);
  const double a = Hash2(xi, yi, seed), b = Hash2(xi + 1, yi, seed);
  const double c = Hash2(xi, yi + 1, seed), d = Hash2(xi + 1, yi + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double Fbm(double x, double y, uint32_t seed, int octaves) {
  double sum = 0, amp = 0.5, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise(x, y, seed + static_cast<uint32_t>(i) * 101u);
    norm += amp;
    x *= 2.03;
    y *= 2.03;
    amp *= 0.5;
  }
  return sum / norm;
}

QColor BaseColour(const std::string& code) {
  static const std::pair<const char*, QRgb> kColours[] = {
      {"Gr", 0xff0a6e30}, {"Re", 0xff84161e}, {"Or", 0xffa85210}, {"Ye", 0xff9c8418},
      {"B1", 0xff1a76a8}, {"B2", 0xff16266e}, {"Fi", 0xff5c2078}};
  for (const auto& [name, rgb] : kColours) {
    if (code == name) return QColor::fromRgba(rgb);
  }
  return QColor(0, 110, 40);
}

QRgb Shade(const QColor& base, double k) {
  // k around 1: darker below, lighter above.
  auto ch = [k](int v) {
    const double out = k <= 1 ? v * k : v + (255 - v) * (k - 1);
    return std::clamp(static_cast<int>(std::lround(out)), 0, 255);
  };
  return qRgb(ch(base.red()), ch(base.green()), ch(base.blue()));
}

// Per-pixel texture pass: f(u, v) gives a shade factor for the normalised position.
template <typename F>
void Texture(QImage& img, const QColor& base, F f) {
  const int w = img.width(), h = img.height();
  for (int y = 0; y < h; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    const double v = (y + 0.5) / h;
    for (int x = 0; x < w; ++x) row[x] = Shade(base, f((x + 0.5) / w, v));
  }
}

double Vignette(double u, double v) {
  const double dx = (u - 0.5) * 1.5, dy = (v - 0.5) * 1.7;
  return 1.12 - 0.5 * (dx * dx + dy * dy);
}

}  // namespace

QImage DrawBackground(int picture, const std::string& colour, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  const QColor base = BaseColour(colour);
  const uint32_t seed = static_cast<uint32_t>(picture * 7919);
  // Texture coordinates in units of the small picture so both sizes share their grain.
  const double gx = 760.0, gy = 500.0;
  switch (picture) {
    case 1:  // sun: soft rays from the middle
      Texture(img, base, [&](double u, double v) {
        const double a = std::atan2((v - 0.5) * gy, (u - 0.5) * gx);
        const double ray = 0.5 + 0.5 * std::sin(a * 24);
        return Vignette(u, v) * (0.9 + 0.1 * ray) + 0.04 * Fbm(u * 40, v * 26, seed, 2);
      });
      break;
    case 2:  // felt
      Texture(img, base, [&](double u, double v) {
        return Vignette(u, v) * (0.9 + 0.16 * Fbm(u * gx / 3, v * gy / 3, seed, 3));
      });
      break;
    case 3:  // gradient
      Texture(img, base, [&](double u, double v) {
        return 1.25 - 0.7 * std::hypot(u - 0.5, (v - 0.42) * 0.9) +
               0.012 * Hash2(static_cast<int>(u * gx), static_cast<int>(v * gy), seed);
      });
      break;
    case 4:  // cloth: a fine weave
      Texture(img, base, [&](double u, double v) {
        const double x = u * gx / 2.5, y = v * gy / 2.5;
        const double weave = (static_cast<int>(x) + static_cast<int>(y)) % 2
                                 ? std::sin(std::fmod(x, 1.0) * M_PI)
                                 : std::sin(std::fmod(y, 1.0) * M_PI);
        return Vignette(u, v) * (0.88 + 0.12 * weave + 0.06 * Fbm(u * 20, v * 14, seed, 2));
      });
      break;
    case 5:  // carpet: a diamond lattice with a border
      Texture(img, base, [&](double u, double v) {
        const double x = u * gx / 38, y = v * gy / 38;
        const double d =
            std::abs(std::fmod(x + y, 1.0) - 0.5) + std::abs(std::fmod(x - y + 100, 1.0) - 0.5);
        const double border = (u < 0.04 || u > 0.96 || v < 0.06 || v > 0.94) ? 0.8 : 1.0;
        return border * Vignette(u, v) *
               (d < 0.18   ? 1.12
                : d > 0.45 ? 0.9
                           : 1.0) *
               (0.95 + 0.07 * Fbm(u * gx / 2, v * gy / 2, seed, 2));
      });
      break;
    case 6:  // tree: wood grain
      Texture(img, base, [&](double u, double v) {
        const double n = Fbm(u * 3, v * 30, seed, 4);
        const double grain = 0.5 + 0.5 * std::sin((v * 60 + n * 10) * M_PI);
        return Vignette(u, v) * (0.78 + 0.26 * grain);
      });
      break;
    case 7: {  // casino: felt with a printed table outline and faint suits
      Texture(img, base, [&](double u, double v) {
        return Vignette(u, v) * (0.92 + 0.12 * Fbm(u * gx / 3, v * gy / 3, seed, 2));
      });
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      const double s = w / 760.0;
      QColor line = QColor::fromRgb(Shade(base, 1.35));
      p.setPen(QPen(line, 3 * s));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(70 * s, 50 * s, 620 * s, 400 * s), 190 * s, 190 * s);
      p.setPen(QPen(line, 1.2 * s));
      p.drawRoundedRect(QRectF(82 * s, 62 * s, 596 * s, 376 * s), 180 * s, 180 * s);
      QColor faint = QColor::fromRgb(Shade(base, 1.15));
      for (int i = 0; i < 4; ++i) {
        PaintPip(p, i, PipSet::kFrench, QRectF((300 + i * 45) * s, 232 * s, 30 * s, 30 * s), faint);
      }
      break;
    }
    case 8: {  // pattern: a damask-like repeat
      Texture(img, base, [&](double u, double v) {
        return Vignette(u, v) * (0.94 + 0.06 * Fbm(u * 30, v * 20, seed, 2));
      });
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      const double s = w / 760.0;
      const QColor motif = QColor::fromRgb(Shade(base, 1.12));
      p.setPen(Qt::NoPen);
      p.setBrush(motif);
      for (int row = 0; row < 11; ++row) {
        for (int col = 0; col < 17; ++col) {
          const QPointF c((col * 48 + (row % 2) * 24) * s, (row * 50) * s);
          QPainterPath leaf;
          for (int k = 0; k < 4; ++k) {
            p.save();
            p.translate(c);
            p.rotate(k * 90 + 45);
            p.drawEllipse(QPointF(0, -9 * s), 4 * s, 9 * s);
            p.restore();
          }
          p.drawEllipse(c, 3 * s, 3 * s);
        }
      }
      break;
    }
    case 9:  // silk: smooth sheen
      Texture(img, base, [&](double u, double v) {
        const double n = Fbm(u * 2.5, v * 2.0, seed, 3);
        return 0.85 + 0.35 * std::sin((u * 3 + v * 1.5 + n * 2.5) * M_PI) * 0.5 +
               0.1 * Vignette(u, v);
      });
      break;
    default: {  // ornament: a decorated border round a quiet field
      Texture(img, base, [&](double u, double v) {
        return Vignette(u, v) * (0.93 + 0.1 * Fbm(u * gx / 4, v * gy / 4, seed, 2));
      });
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      const double s = w / 760.0;
      const QColor gold(0xd8, 0xb8, 0x60, 150);
      p.setPen(QPen(gold, 2 * s));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(14 * s, 14 * s, 732 * s, 472 * s));
      p.drawRect(QRectF(22 * s, 22 * s, 716 * s, 456 * s));
      for (double x = 40; x < 730; x += 24) {
        for (double y : {18.0, 482.0}) {
          p.drawEllipse(QPointF(x * s, y * s), 3 * s, 3 * s);
        }
      }
      for (double y = 40; y < 470; y += 24) {
        for (double x : {18.0, 742.0}) p.drawEllipse(QPointF(x * s, y * s), 3 * s, 3 * s);
      }
      for (const QPointF& c :
           {QPointF(60, 60), QPointF(700, 60), QPointF(60, 440), QPointF(700, 440)}) {
        for (int k = 0; k < 8; ++k) {
          p.save();
          p.translate(c * s);
          p.rotate(k * 45);
          p.drawEllipse(QPointF(0, -12 * s), 4 * s, 10 * s);
          p.restore();
        }
      }
      break;
    }
  }
  return img;
}

QImage DrawPurpleBackground(int w, int h, uint32_t seed) {
  QImage img(w, h, QImage::Format_RGB32);
  const QColor base(0x48, 0x10, 0x78);
  Texture(img, base, [&](double u, double v) {
    const double n = Fbm(u * 4, v * 3, seed, 4);
    return 0.55 + 0.55 * (1.1 - std::hypot(u - 0.5, v - 0.35)) * (0.7 + 0.5 * n);
  });
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Gold filigree corners and a thin frame.
  const double s = std::min(w, h) / 500.0;
  const QColor gold(0xc8, 0xaf, 0x32, 170);
  p.setPen(QPen(gold, 1.6 * s));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(6 * s, 6 * s, w - 12 * s, h - 12 * s));
  for (int corner = 0; corner < 4; ++corner) {
    const QPointF c(corner % 2 ? w - 6 * s : 6 * s, corner < 2 ? 6 * s : h - 6 * s);
    const double sx = corner % 2 ? -1 : 1, sy = corner < 2 ? 1 : -1;
    for (int i = 1; i <= 3; ++i) {
      QPainterPath curl;
      curl.moveTo(c + QPointF(sx * 14 * i * s, 0));
      curl.quadTo(c + QPointF(sx * 14 * i * s, sy * 14 * i * s), c + QPointF(0, sy * 14 * i * s));
      p.drawPath(curl);
    }
  }
  return img;
}

}  // namespace trilane::artgen
