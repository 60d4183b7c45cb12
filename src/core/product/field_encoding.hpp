#pragma once
// Turning the texts of the window's boxes back into the bytes of a block.
// Every conversion either gives exactly the bytes the box stands for or says
// why it cannot, naming the box: a value is never cut, wrapped or replaced
// by "?" on its way into a product file.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "../common/bytes.hpp"
#include "code_page.hpp"

namespace velmor {

// Why a save cannot go on, in words for the user; nullopt when all is well.
using Refusal = std::optional<std::string>;

// "<reason> Nothing was saved."
std::string refusalText(const std::string& reason);

// A decimal box such as PID or FID: a blank box counts as 0, as it always
// has; anything but a whole number from 0 to 65535 is nullopt.
std::optional<std::uint16_t> box16(std::string_view text);

// A hexadecimal byte box ("0" to "FF", blanks ignored, blank counts as 0).
std::optional<std::uint8_t> hexByteBox(std::string_view text);

// Appends the code-page bytes of `text` and a terminating 0. `field` names
// the box in the refusal ("the Mapsource Name").
Refusal appendText(const CodePage& page, std::string_view text, const std::string& field, Bytes& out);

// The same, but a box that still holds the text `stored` was decoded to
// gives back the stored bytes: an unedited value is written as it was read.
Refusal appendStoredOrText(const CodePage& page, std::string_view text, std::span<const std::uint8_t> stored,
                           const std::string& field, Bytes& out);

// Type byte, LE16 body length, body. Refuses a body longer than a block can
// hold; `what` names the block in the refusal ("the header block").
Refusal frameBlock(std::uint8_t type, const Bytes& body, const std::string& what, Bytes& out);

// Degrees text to map units, rounded to the nearest unit. nullopt when the
// text is not a number from -180 to 180. 180 degrees is 2^31 units, which the
// 32-bit field holds as 0x80000000, the same meridian as -180.
std::optional<std::uint32_t> degreesToUnits(std::string_view text);

}  // namespace velmor
