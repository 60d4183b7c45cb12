#pragma once
// Window positions are kept in twips, as the settings file stores them:
// 15 twips to a pixel at 96 dots per inch.
#include <QPoint>
#include <QSize>
#include <vector>

namespace velmor {

inline constexpr int kTwipsPerPixel = 15;

inline int pixelsFromTwips(double twips) { return static_cast<int>(twips / kTwipsPerPixel + (twips < 0 ? -0.5 : 0.5)); }
inline double twipsFromPixels(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }

// Top-left corners, in pixels, of the extra-byte boxes: box 1 at `first`,
// each next one 1.2 box widths to the right; when that position passes
// `wrapTwips` the row starts again at the first box's left, 1.2 box heights
// lower. The arithmetic is done in twips so rows wrap where they always have.
std::vector<QPoint> extraBoxPositions(QPoint first, QSize box, int count, double wrapTwips = 7600);

}  // namespace velmor
