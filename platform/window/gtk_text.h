// Between the window model's wide strings and GTK's UTF-8, and from menu
// text with '&' mnemonics to GTK's '_' ones.
#pragma once

#include <string>

namespace velmora::window {

std::string to_utf8(const std::wstring& text);
std::wstring from_utf8(const char* text);

// "E&xit" -> "E_xit", "&&" -> "&", "_" -> "__".
std::string gtk_mnemonic_label(const std::wstring& text);

// "*.wmf" -> "*.[wW][mM][fF]": GTK's patterns are case-sensitive, the
// platform's file names are not.
std::string case_insensitive_pattern(const std::wstring& pattern);

}  // namespace velmora::window
