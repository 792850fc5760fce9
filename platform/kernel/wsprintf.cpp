// user32's wsprintfW: the small formatter that wide Win32 code uses for
// paths and titles. It knows %s (wide string), %S (narrow string, converted
// in the process's locale), %d, %u, %x, %c and %%, without widths or flags,
// and never writes more than its fixed limit.
#include "kernel/locale_text.h"

#include <windows.h>

#include <charconv>
#include <cstdarg>
#include <cstring>
#include <string_view>

namespace {

// The platform's documented limit for wsprintf output, terminator included.
constexpr std::size_t kMaxOutput = 1024;

class BoundedOutput {
 public:
  explicit BoundedOutput(WCHAR* buffer) : buffer_(buffer) {}

  void put(wchar_t c) {
    if (!full()) buffer_[length_++] = c;
  }
  bool full() const { return length_ + 1 >= kMaxOutput; }
  // Terminates the text and returns its length without the terminator.
  int finish() {
    buffer_[length_] = L'\0';
    return static_cast<int>(length_);
  }

 private:
  WCHAR* buffer_;
  std::size_t length_ = 0;
};

void put_wide(BoundedOutput& out, const wchar_t* text) {
  for (const wchar_t* p = text ? text : L"(null)"; *p != L'\0' && !out.full(); ++p) out.put(*p);
}

void put_narrow(BoundedOutput& out, const char* text) {
  std::string_view bytes = text ? text : "(null)";
  std::mbstate_t state{};
  while (!bytes.empty() && !out.full()) out.put(velmora::platform::take_narrow_char(bytes, state));
}

template <class Number>
void put_number(BoundedOutput& out, Number value, int base) {
  char digits[16];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value, base);
  for (const char* p = digits; p != end.ptr; ++p) out.put(static_cast<wchar_t>(*p));
}

// Writes one conversion; an unknown conversion character stands for itself.
void put_conversion(BoundedOutput& out, wchar_t conversion, va_list& args) {
  switch (conversion) {
    case L's': return put_wide(out, va_arg(args, const wchar_t*));
    case L'S': return put_narrow(out, va_arg(args, const char*));
    case L'd': return put_number(out, va_arg(args, int), 10);
    case L'u': return put_number(out, va_arg(args, unsigned), 10);
    case L'x': return put_number(out, va_arg(args, unsigned), 16);
    case L'c': return out.put(static_cast<wchar_t>(va_arg(args, int)));
    default: return out.put(conversion);
  }
}

}  // namespace

int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
  if (!buffer) return 0;
  BoundedOutput out(buffer);
  if (!format) return out.finish();
  va_list args;
  va_start(args, format);
  for (const wchar_t* p = format; *p != L'\0' && !out.full(); ++p) {
    if (*p != L'%') {
      out.put(*p);
    } else if (*++p != L'\0') {
      put_conversion(out, *p, args);
    } else {
      break;  // a lone % at the end
    }
  }
  va_end(args);
  return out.finish();
}
