#pragma once
// Preferences, "Locate Programs" (caption "Settings"): where MapSource,
// BaseCamp, QlandkarteGT and the map compiler are, and which map program
// the launch button starts. The rules of the "<<" buttons are the core's.
#include <QDialog>
#include <array>
#include <string>

#include "core/install/locate_programs.hpp"
#include "core/install/program_launch.hpp"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmor {

class FileDialogProvider;
class ProgramLocations;
class Prompter;

class LocateProgramsDialog : public QDialog {
  Q_OBJECT
 public:
  // A browse takes its path into `settings` at once; "OK" takes the boxes
  // and the default program, "Cancel" leaves the rest as it was.
  LocateProgramsDialog(Settings& settings, std::string programFolder, const ProgramLocations& locations,
                       FileDialogProvider& dialogs, Prompter& prompter, QWidget* parent = nullptr);

  QLineEdit* pathBox(ProgramRow row) const { return boxes_[index(row)]; }
  QPushButton* browseButton(ProgramRow row) const { return browse_[index(row)]; }
  QRadioButton* defaultOption(MapProgram program) const { return defaults_[static_cast<std::size_t>(program)]; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 public slots:
  void accept() override;

 private:
  static std::size_t index(ProgramRow row) { return static_cast<std::size_t>(row); }
  void browseFor(ProgramRow row);

  Settings& settings_;
  std::string programFolder_;
  const ProgramLocations& locations_;
  FileDialogProvider& dialogs_;
  Prompter& prompter_;
  std::array<QLineEdit*, 4> boxes_{};
  std::array<QPushButton*, 4> browse_{};
  std::array<QRadioButton*, 3> defaults_{};
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace velmor
