// Conversions between the 32-bit wide characters that the Win32 names take
// on Linux and the narrow strings of the process's locale, which file names
// and narrow API arguments are in.
//
// The locale decides first. Where it cannot (the plain "C" locale knows only
// ASCII, yet file names on Linux are UTF-8 by convention), UTF-8 is used, so
// that a narrow path survives the trip to wide characters and back to the
// same bytes in every locale.
#pragma once

#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// Decodes one character from the front of `bytes` and drops the bytes it
// used (at least one, so a character never takes less than a byte: a wide
// copy of n bytes needs at most n wide characters). A byte that no encoding
// accepts stands for itself (U+0000..U+00FF).
wchar_t take_narrow_char(std::string_view& bytes, std::mbstate_t& state);

// The narrow form of a null-terminated wide string, for open(); empty when a
// character has no narrow form at all (not a Unicode scalar value).
std::optional<std::string> wide_to_narrow(const wchar_t* wide);

}  // namespace velmora::platform
