#include "file_dialog_provider.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace velmor {

std::string QtFileDialogProvider::fileDialog(bool save, QWidget* owner, const std::string& startPath,
                                             const std::string& fileName, const FileFilter& filter) {
  const QString filterText =
      QString::fromStdString(filter.description) + " (" + QString::fromStdString(filter.pattern) + ")";
  QString start = QString::fromStdString(startPath);
  // Start in the folder of the start path; a proposed name is offered in it.
  QFileInfo startInfo(start);
  if (startInfo.isFile()) start = startInfo.absolutePath();
  if (!fileName.empty()) {
    // A proposed name with its own folder opens there, as a full path in the
    // name box always has; a bare name is put into the start folder.
    const QFileInfo proposed(QString::fromStdString(fileName));
    if (proposed.isAbsolute()) {
      start = proposed.filePath();
    } else {
      start = start.isEmpty() ? proposed.fileName() : QDir(start).filePath(proposed.fileName());
    }
  }
  QString chosen;
  if (save) {
    chosen = QFileDialog::getSaveFileName(owner, QStringLiteral("Save File"), start, filterText, nullptr,
                                          QFileDialog::DontConfirmOverwrite);
  } else {
    chosen = QFileDialog::getOpenFileName(owner, QStringLiteral("Open File"), start, filterText);
  }
  return chosen.trimmed().toStdString();
}

}  // namespace velmor
