#pragma once
// How the plot stays readable: where a tile's caption goes and which colour
// its outline takes on the white picture.
#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QSize>
#include <QStringList>
#include <optional>
#include <vector>

namespace velmor {

struct PlacedCaption {
  QRectF box;         // where the lines are written, in pixels
  QStringList lines;  // each already cut to fit ("…" at the end)
  bool beside = false;
};

// Places captions one after the other on a picture of a given size. A label
// that holds a line of text gets its caption inside, cut to its width (the
// description, and the IMG name below it when there is room); a label too
// small for that gets the description on one line beside it. A caption never
// covers one placed before it, so a crowded plot shows as many names as fit
// rather than a smudge.
class CaptionLayout {
 public:
  CaptionLayout(QSize area, const QFontMetricsF& metrics);

  // A cheap first look, before any text is measured: false when a caption
  // of `characters` characters cannot fit at this label. A plot of many
  // tiles asks this of every label and measures only the few that pass.
  bool roomNear(const QRectF& label, std::size_t characters) const;
  // Where the caption of a label goes, or nullopt when there is no room.
  std::optional<PlacedCaption> place(const QRectF& label, const QString& description, const QString& imgName);

  // Keeps captions off a part of the picture (the buttons that stand on
  // it): a caption that would start under it moves down below it, inside
  // its label when there is room, else beside the label.
  void reserve(const QRectF& box);

  // Widest caption written beside a label, in pixels.
  static constexpr double kBesideMaxWidth = 160;

 private:
  std::optional<PlacedCaption> inside(const QRectF& label, const QString& description, const QString& imgName) const;
  std::optional<PlacedCaption> beside(const QRectF& label, const QString& text) const;
  bool isFree(const QRectF& box) const;
  void take(const QRectF& box);
  // Calls `visit` with the index into taken_ of every cell the shown part
  // of `box` covers, until it returns false; false when `box` is not shown
  // or a visit said stop.
  template <typename Visit>
  bool everyCell(const QRectF& box, Visit visit) const;

  QSize area_;
  QFontMetricsF metrics_;
  double line_ = 0;   // height of a line of text
  double least_ = 0;  // narrowest room worth a caption: about two characters
  double averageCharacter_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<bool> taken_;  // one cell per kCell x kCell pixels
  std::vector<QRectF> reserved_;
};

// WCAG contrast ratio of a colour against white (1 to 21).
double contrastOnWhite(const QColor& colour);
// The colour itself when it stands out on white (3:1), else the same hue
// darkened until it does: silver, lime and aqua outlines would vanish.
QColor outlineColour(const QColor& colour);

}  // namespace velmor
