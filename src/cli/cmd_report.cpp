#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/product/loader.hpp"

namespace velmor::cli {

void addReportCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("report", "Print the block report of a product file");
  auto file = std::make_shared<std::string>();
  auto crlf = std::make_shared<bool>(false);
  cmd->add_option("FILE", *file, "Product file (.tdb)")->required();
  cmd->add_flag("--crlf", *crlf, "End lines with CR LF as the report itself does");
  cmd->callback([&exitCode, file, crlf] {
    CliPrompter prompter;
    ProductFile product;
    ProductForm form;
    const ReportLoad load = openProductForReport(product, form, *file, prompter);
    if (load.status != LoadStatus::Read) {
      exitCode = 1;
      return;
    }
    // The report is printed all the same: it shows what was read.
    if (load.verdict) std::cerr << load.verdict.text << "\n";
    const std::string& report = product.report;
    std::size_t start = 0;
    while (start < report.size()) {
      std::size_t end = report.find("\r\n", start);
      if (end == std::string::npos) end = report.size();
      std::cout << report.substr(start, end - start) << (*crlf ? "\r\n" : "\n");
      start = end + 2;
    }
    if (!product.errorText.empty()) std::cerr << "Errors:\n" << product.errorText << "\n";
    exitCode = 0;
  });
}

}  // namespace velmor::cli
