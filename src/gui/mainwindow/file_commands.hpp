#pragma once
// The File menu: Open, Save, Save As, Save a Copy, the recent files, and the
// questions asked before a file is left or the window closes.
#include <string>

namespace velmor {

class MainWindow;
enum class Answer;

enum class SaveKind { Save, SaveAs, SaveCopy };

class FileCommands {
 public:
  explicit FileCommands(MainWindow& window);

  void open();
  void openRecent(int entry);
  // Returns whether the file was written.
  bool save(SaveKind kind);

  // Loads a product file into the window: read, recent list, controls,
  // plot, and the Errors window when reading met errors.
  void openProductFile(const std::string& path, bool showErrorsWindow);

  // "Save changes?" before a file is left. Returns the answer (Answer::No
  // when nothing was unsaved); Yes saves to the current path.
  Answer saveChangesCheck();
  // The close question. Returns whether the window may close.
  bool closeRule();

  static constexpr const char* kNotTdb = "This is not a tdb file.";

  // True while a file is being read or written. The window lets its events
  // run between the steps; a close that arrives then must wait, or it could
  // save a half-read model over the file.
  bool working() const { return working_ > 0; }

 private:
  class Working;
  MainWindow& window_;
  int working_ = 0;
};

// The file-name part of a path (after the last "/" or "\\").
std::string fileNamePart(const std::string& path);
// Whether a chosen name may be opened as a product file: its file name holds
// ".tdb" (in any case) or has no "." at all.
bool looksLikeProductFile(const std::string& path);

}  // namespace velmor
