#pragma once
// A small sample of the plot's block, in the plot's corner: filled with the
// block colour and bordered with the block border colour. A click chooses
// the block colour; its context menu (right click or the menu key) offers
// both colours.
#include <QAbstractButton>

#include "context/command_context.hpp"
#include "core/settings/settings.hpp"

namespace velmor {

class PlotWidget;

class BlockSample : public QAbstractButton {
  Q_OBJECT
 public:
  BlockSample(const Settings& settings, QWidget* parent);
  QSize sizeHint() const override { return {24, 24}; }

 signals:
  void chooseBlockColour();
  void chooseBorderColour();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  const Settings& settings_;
};

// Puts the sample over the window's plot; a chosen colour goes into the
// settings and the plot at once.
BlockSample* installBlockSample(const CommandContext& context, PlotWidget* plot);

}  // namespace velmor
