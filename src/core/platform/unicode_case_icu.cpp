// Lower case through ICU (every system but Windows).
#include <unicode/uchar.h>

#include "unicode_text.hpp"

namespace velmor {

char32_t lowerChar(char32_t ch) { return static_cast<char32_t>(u_tolower(static_cast<UChar32>(ch))); }

}  // namespace velmor
