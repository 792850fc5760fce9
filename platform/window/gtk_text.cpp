#include "window/gtk_text.h"

#include <glib.h>

#include <cwctype>

namespace velmora::window {

std::string to_utf8(const std::wstring& text) {
  std::u32string codes(text.begin(), text.end());
  gchar* utf8 = g_ucs4_to_utf8(reinterpret_cast<const gunichar*>(codes.data()), static_cast<glong>(codes.size()),
                               nullptr, nullptr, nullptr);
  std::string result = utf8 ? utf8 : "";
  g_free(utf8);
  return result;
}

std::wstring from_utf8(const char* text) {
  glong count = 0;
  gunichar* codes = text ? g_utf8_to_ucs4_fast(text, -1, &count) : nullptr;
  std::wstring result;
  for (glong i = 0; i < count; ++i) result.push_back(static_cast<wchar_t>(codes[i]));
  g_free(codes);
  return result;
}

std::string gtk_mnemonic_label(const std::wstring& text) {
  std::wstring label;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) {
      label += text[i + 1] == L'&' ? L"&" : L"_";
      if (text[i + 1] == L'&') ++i;
    } else if (text[i] == L'_') {
      label += L"__";
    } else if (text[i] != L'&') {
      label.push_back(text[i]);
    }
  }
  return to_utf8(label);
}

std::string case_insensitive_pattern(const std::wstring& pattern) {
  std::wstring glob;
  for (wchar_t c : pattern) {
    const wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    const wchar_t upper = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    if (lower == upper) {
      glob.push_back(c);
    } else {
      glob += L"[";
      glob.push_back(lower);
      glob.push_back(upper);
      glob += L"]";
    }
  }
  return to_utf8(glob);
}

}  // namespace velmora::window
