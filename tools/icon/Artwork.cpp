#include "Artwork.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace brindlework::icon {
namespace {

// Only + - * / and sqrt below: they round the same everywhere, so the icon's bytes do too.

struct Colour {
  double r, g, b, a;  // 0..1, not premultiplied
};

constexpr Colour Rgb(int rgb, double alpha = 1.0) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

double Clamp01(double x) {
  return std::clamp(x, 0.0, 1.0);
}

double SmoothStep(double t) {
  t = Clamp01(t);
  return t * t * (3 - 2 * t);
}

// Coordinates along the pin: u from the top of the head toward the point, v across it,
// positive toward the shaded (lower right) side. Units: the icon's side is 1.
struct Local {
  double u, v;
};

// Signed distances, negative inside.
double RoundBox(Local p, double top, double bottom, double halfWidth, double radius) {
  const double qu = std::abs(p.u - (top + bottom) / 2) - (bottom - top) / 2 + radius;
  const double qv = std::abs(p.v) - halfWidth + radius;
  const double outside =
      std::sqrt(std::max(qu, 0.0) * std::max(qu, 0.0) + std::max(qv, 0.0) * std::max(qv, 0.0));
  return outside + std::min(std::max(qu, qv), 0.0) - radius;
}

// Two circles on the axis, radius r1 at u1 and r2 at u2 (u2 > u1), and the tangents joining
// them.
double TaperedRod(Local p, double u1, double r1, double u2, double r2) {
  const double x = std::abs(p.v);
  const double y = p.u - u1;
  const double h = u2 - u1;
  const double b = (r1 - r2) / h;
  const double a = std::sqrt(1 - b * b);
  const double k = -b * x + a * y;
  if (k < 0) return std::sqrt(x * x + y * y) - r1;
  if (k > a * h) return std::sqrt(x * x + (y - h) * (y - h)) - r2;
  return a * x + b * y - r1;
}

struct Layer {
  std::function<double(Local)> distance;
  std::function<Colour(Local)> colour;
  double softness = 0;  // in pixels: a soft edge this wide (shadows); 0 for a crisp one
};

class Canvas {
 public:
  explicit Canvas(int size) : size_(size) {}

  void Add(Layer layer) { layers_.push_back(std::move(layer)); }

  // The pin's frame: its head's top centre at (x, y), pointing down and to the left.
  void Place(double x, double y) {
    originX_ = x;
    originY_ = y;
  }

  // Each pixel averages a grid of samples; each sample is itself smoothed by its distance to
  // the edge, so edges at any angle come out even.
  Image Render() const {
    constexpr int kGrid = 4;
    const double side = size_;
    Image image{size_, std::vector<std::uint8_t>(static_cast<std::size_t>(size_ * size_) * 4)};
    for (int py = 0; py < size_; ++py) {
      for (int px = 0; px < size_; ++px) {
        double r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
        for (int sy = 0; sy < kGrid; ++sy) {
          for (int sx = 0; sx < kGrid; ++sx) {
            const double x = (px + (sx + 0.5) / kGrid) / side;
            const double y = (py + (sy + 0.5) / kGrid) / side;
            const Local p = ToLocal(x, y);
            double cr = 0, cg = 0, cb = 0, ca = 0;
            for (const Layer& layer : layers_) {
              const double d = layer.distance(p) * side;  // in pixels
              const double cover = layer.softness > 0 ? SmoothStep(0.5 - d / layer.softness)
                                                      : Clamp01(0.5 - d * kGrid);
              if (cover <= 0) continue;
              const Colour c = layer.colour(p);
              const double alpha = c.a * cover;
              cr = c.r * alpha + cr * (1 - alpha);
              cg = c.g * alpha + cg * (1 - alpha);
              cb = c.b * alpha + cb * (1 - alpha);
              ca = alpha + ca * (1 - alpha);
            }
            r += cr;
            g += cg;
            b += cb;
            a += ca;
          }
        }
        constexpr double kSamples = kGrid * kGrid;
        auto* out = &image.rgba[(static_cast<std::size_t>(py) * size_ + px) * 4];
        const auto byte = [](double v) {
          return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255));
        };
        out[3] = byte(a / kSamples);
        if (out[3] == 0) continue;  // fully transparent pixels stay black
        out[0] = byte(r / a);
        out[1] = byte(g / a);
        out[2] = byte(b / a);
      }
    }
    return image;
  }

 private:
  Local ToLocal(double x, double y) const {
    static const double kHalfRoot2 = std::sqrt(0.5);
    const double dx = x - originX_;
    const double dy = y - originY_;
    return {(dy - dx) * kHalfRoot2, (dx + dy) * kHalfRoot2};
  }

  int size_;
  double originX_ = 0;
  double originY_ = 0;
  std::vector<Layer> layers_;
};

// The palette: a red body lit from the upper left, a steel needle.
constexpr Colour kRedLight = Rgb(0xF0524A);
constexpr Colour kRed = Rgb(0xD8322C);
constexpr Colour kRedShade = Rgb(0xA81E1E);
constexpr Colour kRedOutline = Rgb(0x6E1010);
constexpr Colour kGloss = Rgb(0xFFFFFF, 0.45);
constexpr Colour kSteelLight = Rgb(0xD4DAE0);
constexpr Colour kSteelShade = Rgb(0x7D8894);
constexpr Colour kSteelOutline = Rgb(0x4A525C);
constexpr Colour kShadow = Rgb(0x000000, 0.28);

}  // namespace

Image DrawPin(int size) {
  const double pixel = 1.0 / size;
  const bool small = size <= 32;

  // The pin's profile along its axis. Small sizes get a narrower neck, so that the head and
  // the collar still read as two parts, and lines at least a pixel or so wide.
  constexpr double kCapTop = 0.0, kCapBottom = 0.17, kCapHalf = 0.20;
  constexpr double kNeckTop = 0.15, kNeckBottom = 0.40;
  constexpr double kCollarTop = 0.38, kCollarBottom = 0.47, kCollarHalf = 0.25;
  constexpr double kNeedleTop = 0.46, kPoint = 0.97;
  const double neckHalf = small ? 0.08 : 0.105;
  const double needleHalf = std::max(0.028, 0.7 * pixel);
  const double pointRadius = std::max(0.004, 0.35 * pixel);
  const double outline = std::max(1.0 / 64, 1.0 * pixel);
  const double corner = std::max(0.035, 1.5 * pixel);

  const auto body = [=](Local p) {
    const double cap = RoundBox(p, kCapTop, kCapBottom, kCapHalf, corner);
    const double neck = RoundBox(p, kNeckTop, kNeckBottom, neckHalf, 0);
    const double collar = RoundBox(p, kCollarTop, kCollarBottom, kCollarHalf, corner);
    return std::min({cap, neck, collar});
  };
  const auto needle = [=](Local p) {
    return TaperedRod(p, kNeedleTop, needleHalf, kPoint - pointRadius, pointRadius);
  };
  const auto shadeSide = [=](Local p, double from) { return from - p.v; };

  Canvas canvas(size);
  // The head's top centre, so that the whole pin sits centred with an even margin.
  canvas.Place(0.765, 0.235);

  if (!small) {
    // A soft shadow straight below, as if the pin stood a little above the surface.
    const auto shadow = [=](Local p) {
      const Local shifted{p.u - 0.035, p.v - 0.035};
      return std::min(body(shifted), needle(shifted));
    };
    canvas.Add({shadow, [](Local) { return kShadow; }, 0.05 * size});
  }
  canvas.Add({[=](Local p) { return needle(p) - outline; }, [](Local) { return kSteelOutline; }});
  canvas.Add({needle, [](Local) { return kSteelLight; }});
  canvas.Add({[=](Local p) { return std::max(needle(p), shadeSide(p, 0.0)); },
              [](Local) { return kSteelShade; }});
  canvas.Add({[=](Local p) { return body(p) - outline; }, [](Local) { return kRedOutline; }});
  canvas.Add({body, [=](Local p) {
                return Mix(kRedLight, kRed, SmoothStep((p.v + kCapHalf) / (2 * kCapHalf)));
              }});
  canvas.Add({[=](Local p) { return std::max(body(p), shadeSide(p, 0.03)); },
              [](Local) { return kRedShade; }});
  if (!small) {
    // A gloss line down the lit side of the head and the neck.
    canvas.Add({[=](Local p) {
                  const double cap = RoundBox({p.u, p.v + 0.135}, 0.035, 0.135, 0.022, 0.022);
                  const double neck = RoundBox({p.u, p.v + 0.06}, 0.19, 0.35, 0.018, 0.018);
                  return std::min(cap, neck);
                },
                [](Local) { return kGloss; }});
  }
  return canvas.Render();
}

}  // namespace brindlework::icon
