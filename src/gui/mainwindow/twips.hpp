#pragma once
// Window positions are kept in twips, as the settings file stores them:
// 15 twips to a pixel at 96 dots per inch.
#include <QPoint>
#include <QSize>
#include <cmath>
#include <limits>
#include <vector>

namespace velmor {

inline constexpr int kTwipsPerPixel = 15;

// Whatever the settings file held: a value past what an int can carry (or
// not a number at all) must not reach the conversion, which would be undefined.
inline int pixelsFromTwips(double twips) {
  const double pixels = twips / kTwipsPerPixel + (twips < 0 ? -0.5 : 0.5);
  if (std::isnan(pixels)) return 0;
  if (pixels <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (pixels >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(pixels);
}
inline double twipsFromPixels(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }

// Top-left corners, in pixels, of the extra-byte boxes: box 1 at `first`,
// each next one 1.2 box widths to the right; when that position passes
// `wrapTwips` the row starts again at the first box's left, 1.2 box heights
// lower. The arithmetic is done in twips so rows wrap where they always have.
std::vector<QPoint> extraBoxPositions(QPoint first, QSize box, int count, double wrapTwips = 7600);

}  // namespace velmor
