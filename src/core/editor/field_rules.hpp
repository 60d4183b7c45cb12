#pragma once
// Keys and small edits in the header, name, overview and copyright boxes:
// which keys a box takes and which rebuild flags an edit sets.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

struct ProductFile;
struct ProductForm;
class Prompter;
class CodePage;

inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kLineFeed = 10;
inline constexpr char32_t kEnter = 13;
inline constexpr char32_t kDelete = 127;

// PID and FID boxes: digits, ":", backspace, CR and LF.
bool pidFidKeyPasses(char32_t key);
// Name and overview boxes: the key's code-page byte must be 48-58, 65-254,
// backspace, CR, 127 or one of " @:#<>%$£^&*()+_!?". A character with no
// byte in the code page never passes.
bool nameKeyPasses(char32_t key, const CodePage& codePage);
// The four overview bound boxes: ".0123456789", "-", "+", backspace, 127.
bool boundKeyPasses(char32_t key);

// The first character of a whole text that its box would drop, for edits
// that arrive as text (the command line, a paste) rather than key by key.
std::optional<char32_t> firstRefusedCharacter(std::string_view utf8, const std::function<bool(char32_t)>& passes);

// A key pressed in the PID or FID box. Every press marks the model
// modified; returns whether the key reaches the box.
bool pidFidKey(ProductFile& file, char32_t key);

// Enter in the FID box: the typed family id goes into the file's bytes
// (header offset 5, little-endian). "No data" without a loaded file; a
// text that is no 16-bit number is left for the save to refuse.
bool fidEnter(ProductFile& file, const ProductForm& form, Prompter& prompter);

// A key in a name or overview box; returns whether it reaches the box.
bool nameKey(ProductFile& file, const ProductForm& form, char32_t key);
// A key released in one of the overview bound boxes.
void boundKeyReleased(ProductFile& file);

// A copyright text key or a click on "Display"/"Print".
void copyrightEdited(ProductFile& file);
// A key in one of the "Tile Copyright" boxes.
void tileCopyrightKey(ProductFile& file);

// The box that takes the focus after a key released in extra-byte box
// `box` (1-99), or nullopt when the focus stays.
std::optional<int> extraByteFocus(int box, bool enterKey, int selectedCharacters);

}  // namespace velmor
