#pragma once
// Giving the header tail the length a TDB version expects, with sensible
// values for the bytes that a longer tail brings in.
#include <optional>
#include <string>

namespace velmor {

struct ProductFile;
struct ProductForm;

// Tail length of a version ("4.09" -> 58); nullopt for a version the
// program does not know.
std::optional<int> tailLengthForVersion(int tdbVersion);

// Makes the tail n bytes long (boxes, their white/grey state, the code
// page boxes) and marks the model modified. The caller sets
// headerTailLength to the same n.
void newtdb(ProductFile& file, ProductForm& form, int n);

// Copies the code page list's number into boxes 31 (high byte) and 30 (low
// byte). A text that is not a code page number (0-65535) leaves them alone.
void codepage(ProductForm& form);

inline constexpr const char* kUnsetChecksumText = "FFFFFF";

}  // namespace velmor
