#include "twips.hpp"

namespace velmor {

std::vector<QPoint> extraBoxPositions(QPoint first, QSize box, int count, double wrapTwips) {
  std::vector<QPoint> places;
  if (count <= 0) return places;
  places.reserve(static_cast<std::size_t>(count));
  const double left = twipsFromPixels(first.x());
  const double stepX = 1.2 * twipsFromPixels(box.width());
  const double stepY = 1.2 * twipsFromPixels(box.height());
  double x = left;
  double y = twipsFromPixels(first.y());
  for (int k = 0; k < count; ++k) {
    places.emplace_back(pixelsFromTwips(x), pixelsFromTwips(y));
    x += stepX;
    if (x > wrapTwips) {
      x = left;
      y += stepY;
    }
  }
  return places;
}

}  // namespace velmor
