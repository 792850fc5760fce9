#include "render/label_picture.h"

#include <windows.h>

namespace velmora::render {
namespace {

constexpr int kFontIndex = 1;
constexpr int kTextPixels = 15;
constexpr COLORREF kTextColor = 0x00404040;
// A 1024 x 768 pixel device of 320 x 240 mm: 3.2 pixels per millimetre.
constexpr double kHimetricPerPixel = 100.0 / 3.2;

class RecordWriter {
 public:
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(int v) { u32(static_cast<std::uint32_t>(v)); }
  void u16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void rect(int l, int t, int r, int b) {
    for (int v : {l, t, r, b}) i32(v);
  }
  // Starts a record; end() writes its size once its fields are in.
  void begin(std::uint32_t type) {
    start_ = bytes_.size();
    u32(type);
    u32(0);
    ++records_;
  }
  void end() {
    while (bytes_.size() % 4) bytes_.push_back(0);
    const auto size = static_cast<std::uint32_t>(bytes_.size() - start_);
    for (int i = 0; i < 4; ++i) bytes_[start_ + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  }
  void record(std::uint32_t type, std::initializer_list<std::uint32_t> fields) {
    begin(type);
    for (std::uint32_t v : fields) u32(v);
    end();
  }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  std::uint32_t records() const { return records_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t start_ = 0;
  std::uint32_t records_ = 0;
};

// ENHMETAHEADER (MS-EMF 2.3.4.2); nBytes and nRecords are filled in last.
void header(RecordWriter& out, int width, int height) {
  out.begin(EMR_HEADER);
  out.rect(0, 0, width - 1, height - 1);  // rclBounds, device pixels
  out.rect(0, 0, static_cast<int>(width * kHimetricPerPixel), static_cast<int>(height * kHimetricPerPixel));
  out.u32(ENHMETA_SIGNATURE);
  out.u32(0x10000);               // nVersion
  out.u32(0);                     // nBytes
  out.u32(0);                     // nRecords
  out.u32(kFontIndex + 1);        // nHandles (the table's slot 0 is reserved), sReserved 0
  out.u32(0);                     // nDescription
  out.u32(0);                     // offDescription
  out.u32(0);                     // nPalEntries
  out.rect(1024, 768, 320, 240);  // szlDevice, szlMillimeters
  out.rect(0, 0, 0, 320000);      // cbPixelFormat, offPixelFormat, bOpenGL, szlMicrometers.cx
  out.u32(240000);                // szlMicrometers.cy
  out.end();
}

// EMR_EXTCREATEFONTINDIRECTW with a 92-byte LOGFONTW: five LONGs, eight
// BYTEs, 32 UTF-16 units of face name.
void font(RecordWriter& out) {
  out.begin(EMR_EXTCREATEFONTINDIRECTW);
  out.u32(kFontIndex);
  for (int v : {-kTextPixels, 0, 0, 0, FW_NORMAL}) out.i32(v);
  out.u32(0);  // italic, underline, strike-out, charset ANSI
  out.u32(0);  // precisions, quality, pitch and family
  const std::u16string face = u"DejaVu Sans";
  for (std::size_t i = 0; i < LF_FACESIZE; ++i) out.u16(i < face.size() ? face[i] : 0);
  out.end();
}

// EMR_EXTTEXTOUTW with one EmrText and no advances: rclBounds, graphics
// mode, two scales, then the reference point, nChars, offString, options,
// rcl, offDx, and the string.
void text_out(RecordWriter& out, int x, int y, const std::u16string& text) {
  constexpr std::uint32_t kStringOffset = 8 + 16 + 12 + 40;
  out.begin(EMR_EXTTEXTOUTW);
  out.rect(0, 0, -1, -1);
  out.u32(GM_COMPATIBLE);
  out.u32(0);  // exScale
  out.u32(0);  // eyScale
  out.i32(x);
  out.i32(y);
  out.u32(static_cast<std::uint32_t>(text.size()));
  out.u32(kStringOffset);
  out.u32(0);  // options
  out.rect(0, 0, 0, 0);
  out.u32(0);  // offDx: none
  for (char16_t c : text) out.u16(c);
  out.end();
}

void patch(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> label_picture(int width, int height, const std::u16string& text) {
  RecordWriter out;
  header(out, width, height);
  font(out);
  out.record(EMR_SELECTOBJECT, {kFontIndex});
  out.record(EMR_SETBKMODE, {TRANSPARENT});
  out.record(EMR_SETTEXTCOLOR, {kTextColor});
  out.record(EMR_SETTEXTALIGN, {TA_CENTER | TA_TOP});
  text_out(out, width / 2, (height - kTextPixels) / 2 - 1, text);
  out.record(EMR_EOF, {0, 16, 20});  // nPalEntries, offPalEntries, nSizeLast
  std::vector<std::uint8_t>& bytes = out.bytes();
  patch(bytes, 48, static_cast<std::uint32_t>(bytes.size()));  // nBytes
  patch(bytes, 52, out.records());                             // nRecords
  return bytes;
}

}  // namespace velmora::render
