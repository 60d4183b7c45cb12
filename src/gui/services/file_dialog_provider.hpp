#pragma once
// The one Open/Save dialog of the program. The window asks through this
// interface so that tests can answer the dialog themselves.
#include <string>

class QWidget;

namespace velmor {

struct FileFilter {
  std::string description;  // "tdb Files"
  std::string pattern;      // "*.tdb"
};

class FileDialogProvider {
 public:
  virtual ~FileDialogProvider() = default;
  // The chosen path, or an empty text when the dialog was cancelled.
  virtual std::string fileDialog(bool save, QWidget* owner, const std::string& startPath, const std::string& fileName,
                                 const FileFilter& filter) = 0;
};

// Qt's own file dialogs. Overwrite questions are the program's, not the dialog's.
class QtFileDialogProvider : public FileDialogProvider {
 public:
  std::string fileDialog(bool save, QWidget* owner, const std::string& startPath, const std::string& fileName,
                         const FileFilter& filter) override;
};

}  // namespace velmor
