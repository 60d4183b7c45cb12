#pragma once
// Tools, "Create Mapsource Files": "Create All" (and the main window's
// "Create TDB Files" button) opens the "Create TDB Files" dialog; "Create
// mdx" writes the MDX index of the open product.
#include <QObject>

#include "context/command_context.hpp"
#include "create_files_dialog.hpp"

namespace velmor {

class MapsourceCommands : public QObject {
  Q_OBJECT
 public:
  // A child of the context's parent.
  explicit MapsourceCommands(CommandContext context);

  // What the dialog's "Create" does: the registry file, unless a test puts
  // another handler in its place.
  void setCreateHandler(CreateFilesHandler handler) { createHandler_ = std::move(handler); }

  // Opens the dialog modally; the window shows the bounds it computes.
  void openCreateFilesDialog();
  // "Create mdx": "No Data." without a product, else the Save dialog and writeMdx.
  void createMdx();
  // The dialog while it is open (for tests), else nullptr.
  CreateFilesDialog* openDialog() const { return dialog_; }

 private:
  CommandContext context_;
  CreateFilesHandler createHandler_;
  CreateFilesDialog* dialog_ = nullptr;
};

}  // namespace velmor
