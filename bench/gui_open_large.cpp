// Measures the desktop window on the largest accepted product: from the
// open command to a painted plot, one re-plot, and a few interactions.
// Run it under /usr/bin/time -v for the peak memory of the whole program.
//   velmor-bench-gui-open [grid|tiny-tiles|unknown-blocks]
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <ctime>

#include "core/common/prompter.hpp"
#include "mainwindow/file_commands.hpp"
#include "mainwindow/main_window.hpp"
#include "mainwindow/map_area.hpp"
#include "plot/plot_widget.hpp"
#include "support/large_product.hpp"
#include "tiles/tile_controller.hpp"

namespace {

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// The machine may be shared; processor time of this program shows what it
// costs regardless of what else runs.
double cpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::string kind = argc > 1 ? argv[1] : "grid";
  const std::string path = (std::filesystem::temp_directory_path() / "velmor-bench-gui-large.tdb").string();
  std::size_t tiles = 0;
  if (kind == "grid") {
    tiles = velmor::bench::writeLargeProduct(path);
  } else if (kind == "tiny-tiles" || kind == "unknown-blocks") {
    tiles = velmor::bench::writeCraftedProduct(
        path, kind == "tiny-tiles" ? velmor::bench::CraftedKind::TinyTiles : velmor::bench::CraftedKind::UnknownBlocks);
  } else {
    std::fprintf(stderr, "usage: velmor-bench-gui-open [grid|tiny-tiles|unknown-blocks]\n");
    return 2;
  }

  velmor::SilentPrompter prompter(velmor::Answer::No);
  velmor::WindowServices services;
  services.prompter = &prompter;
  services.showErrors = [](const std::string&) {};
  velmor::MainWindow window(services);
  window.resize(1400, 900);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  velmor::PlotWidget* plot = window.mapArea()->plot();

  QElapsedTimer t;
  t.start();
  double cpu = cpuMs();
  window.fileCommands().openProductFile(path, false);
  const double loadCpu = cpuMs() - cpu;
  window.repaint();  // the whole window, plot and list included, painted once
  QApplication::processEvents();
  const double open = ms(t);
  const double openCpu = cpuMs() - cpu;
  const std::size_t plotted = static_cast<std::size_t>(
      std::count_if(plot->boxes().begin(), plot->boxes().end(), [](const velmor::PlotLabel& b) { return b.drawn; }));

  double worst = 0, total = 0, worstCpu = 0;
  const int rounds = 5;
  for (int i = 0; i < rounds; ++i) {
    t.restart();
    cpu = cpuMs();
    plot->replot();
    plot->repaint();
    const double one = ms(t);
    worstCpu = std::max(worstCpu, cpuMs() - cpu);
    worst = std::max(worst, one);
    total += one;
  }

  t.restart();
  window.tiles()->zoom(true);
  plot->repaint();
  const double zoom = ms(t);

  t.restart();
  const QPoint centre = plot->rect().center();
  window.tiles()->labelClicked(plot->labelAt(centre));
  plot->repaint();
  const double click = ms(t);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%s: %zu blocks, plotted after the open: %zu\n", kind.c_str(), tiles, plotted);
  std::printf(
      "open to painted window: %.0f ms (processor %.0f ms, of which reading and decoding up to the "
      "first paint %.0f ms)\n",
      open, openCpu, loadCpu);
  std::printf("re-plot (draw every tile): worst %.0f ms, mean %.0f ms over %d (processor worst %.0f ms)\n", worst,
              total / rounds, rounds, worstCpu);
  std::printf("zoom in and repaint: %.0f ms\n", zoom);
  std::printf("label click (hit test of every label) and repaint: %.0f ms\n", click);
  std::printf("peak resident memory: %ld MB\n", usage.ru_maxrss / 1024);
  std::filesystem::remove(path);
  return 0;
}
