#pragma once
// What happens to unsaved changes when the user leaves the file: opening
// another one, or closing the window.
#include <functional>
#include <string>

namespace velmor {

struct ProductFile;
struct SaveContext;
class Prompter;

// Saves the model to the path; true when the file was written.
using SaveToPath = std::function<bool(const std::string& path)>;

// The File menu's "Save" of the save pipeline, as the questions below call
// it: true only when the file was written. The context must outlive it.
SaveToPath pipelineSave(SaveContext& context);

inline constexpr const char* kSaveChanges = "Save changes?";

// Before File, Open and the recent-file entries: "Save changes?" when
// the model is modified; Yes saves to the file's path. The command goes on
// whatever the answer; the answer is returned (Ok when nothing was asked).
enum class Answer;
Answer askSaveChanges(ProductFile& file, Prompter& prompter, const SaveToPath& save);

// Closing the window: true when it may close. Cancel keeps it open, No
// discards, Yes saves; a save that did not write the file keeps the
// window open too, so the edits are not lost with it.
bool closeRule(ProductFile& file, Prompter& prompter, const SaveToPath& save);

}  // namespace velmor
