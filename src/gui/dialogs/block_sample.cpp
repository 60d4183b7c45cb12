#include "block_sample.hpp"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "colour_chooser_dialog.hpp"
#include "plot/plot_widget.hpp"

namespace velmor {

namespace {

// Right of the plot's "+" and "-" buttons.
const QRect kSamplePlace(56, 2, 24, 24);

}  // namespace

BlockSample::BlockSample(const Settings& settings, QWidget* parent) : QAbstractButton(parent), settings_(settings) {
  setObjectName("blockSample");
  setAccessibleName(QStringLiteral("Block Colour"));
  setToolTip(QStringLiteral("Block Colour (right click: Block Border Colour)"));
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  connect(this, &QAbstractButton::clicked, this, &BlockSample::chooseBlockColour);
}

void BlockSample::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(colourFromBgr(static_cast<std::uint32_t>(settings_.blockBorderColour)), 2));
  painter.setBrush(colourFromBgr(static_cast<std::uint32_t>(settings_.blockColour)));
  painter.drawRect(rect().adjusted(3, 3, -3, -3));
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void BlockSample::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("Block Colour"), this, &BlockSample::chooseBlockColour);
  menu.addAction(QStringLiteral("Block Border Colour"), this, &BlockSample::chooseBorderColour);
  menu.exec(event->globalPos());
}

BlockSample* installBlockSample(const CommandContext& context, PlotWidget* plot) {
  auto* sample = new BlockSample(context.state.settings, plot);
  sample->setGeometry(kSamplePlace);
  EditorState& state = context.state;
  Prompter& prompter = context.prompter;
  QWidget* parent = context.parent;
  auto choose = [&state, &prompter, parent, sample, plot](std::int32_t Settings::*which) {
    Settings& settings = state.settings;
    const Colour chosen = ColourChooserDialog::choose(settings.*which, prompter, state.folders.systemFolder, parent);
    if (chosen == kColourCancelled) return;
    settings.*which = chosen;
    plot->setHighlightColours(static_cast<std::uint32_t>(settings.blockColour),
                              static_cast<std::uint32_t>(settings.blockBorderColour));
    sample->update();
  };
  QObject::connect(sample, &BlockSample::chooseBlockColour, sample, [choose] { choose(&Settings::blockColour); });
  QObject::connect(sample, &BlockSample::chooseBorderColour, sample,
                   [choose] { choose(&Settings::blockBorderColour); });
  return sample;
}

}  // namespace velmor
