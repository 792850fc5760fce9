// DIB decoding: each depth and compression from hand-built bytes, row order,
// colour tables and masks, and refusal of data that does not add up.
#include "dib/dib_decoder.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace velmora::platform {
namespace {

// Little-endian bytes, appended field by field.
struct Bytes {
  std::vector<std::uint8_t> data;
  Bytes& u8(std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) data.push_back(v);
    return *this;
  }
  Bytes& u16(std::uint16_t v) { return u8({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}); }
  Bytes& u32(std::uint32_t v) { return u16(static_cast<std::uint16_t>(v)).u16(static_cast<std::uint16_t>(v >> 16)); }
  Bytes& rgbquad(std::uint32_t rgb) { return u32(rgb); }  // B, G, R, reserved = 0x00RRGGBB little-endian
  ByteReader reader() const { return ByteReader(data.data(), data.size()); }
};

// A BITMAPINFOHEADER; the colour table or masks are appended by the caller.
Bytes info_header(int width, int height, int bit_count, std::uint32_t compression, std::uint32_t colors_used = 0) {
  Bytes b;
  b.u32(40);                                // biSize
  b.u32(static_cast<std::uint32_t>(width));   // biWidth
  b.u32(static_cast<std::uint32_t>(height));  // biHeight: negative = top-down
  b.u16(1);                                 // biPlanes
  b.u16(static_cast<std::uint16_t>(bit_count));
  b.u32(compression);                       // biCompression
  b.u32(0);                                 // biSizeImage
  b.u32(0).u32(0);                          // biXPelsPerMeter, biYPelsPerMeter
  b.u32(colors_used);                       // biClrUsed
  b.u32(0);                                 // biClrImportant
  return b;
}

std::optional<Image32> decode(const Bytes& bmi, const Bytes& bits, DibDecodeOptions options = {}) {
  return decode_dib(bmi.reader(), bits.reader(), options);
}

TEST(DibDecoder, OneBitUsesColourTableAndBottomUpRows) {
  Bytes bmi = info_header(3, 2, 1, BI_RGB);
  bmi.rgbquad(0x112233).rgbquad(0xAABBCC);  // index 0, index 1
  Bytes bits;
  bits.u8({0b10100000, 0, 0, 0});  // file row 0 = bottom row: 1 0 1
  bits.u8({0b01000000, 0, 0, 0});  // top row: 0 1 0
  auto image = decode(bmi, bits);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_FALSE(image->has_alpha);
  EXPECT_EQ(image->at(0, 0), 0x112233u);
  EXPECT_EQ(image->at(1, 0), 0xAABBCCu);
  EXPECT_EQ(image->at(0, 1), 0xAABBCCu);
  EXPECT_EQ(image->at(1, 1), 0x112233u);
}

TEST(DibDecoder, MonochromeIndicesModeIgnoresTheTable) {
  Bytes bmi = info_header(2, 1, 1, BI_RGB);
  bmi.rgbquad(0xFF0000).rgbquad(0x00FF00);
  Bytes bits;
  bits.u8({0b01000000, 0, 0, 0});
  auto image = decode(bmi, bits, {ColorUsage::Rgb, MonoMapping::Indices});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), 0x000000u);
  EXPECT_EQ(image->at(1, 0), 0xFFFFFFu);
}

TEST(DibDecoder, FourAndEightBitIndices) {
  Bytes bmi4 = info_header(3, 1, 4, BI_RGB, 3);  // biClrUsed: 3 entries
  bmi4.rgbquad(0x000001).rgbquad(0x000002).rgbquad(0x000003);
  Bytes bits4;
  bits4.u8({0x21, 0x70, 0, 0});  // indices 2, 1, 7 (7 is past the table: black)
  auto four = decode(bmi4, bits4);
  ASSERT_TRUE(four);
  EXPECT_EQ(four->at(0, 0), 3u);
  EXPECT_EQ(four->at(1, 0), 2u);
  EXPECT_EQ(four->at(2, 0), 0u);

  Bytes bmi8 = info_header(2, 1, 8, BI_RGB, 2);
  bmi8.rgbquad(0x0000FF).rgbquad(0xFF0000);
  Bytes bits8;
  bits8.u8({1, 0, 0, 0});
  auto eight = decode(bmi8, bits8);
  ASSERT_TRUE(eight);
  EXPECT_EQ(eight->at(0, 0), 0xFF0000u);
  EXPECT_EQ(eight->at(1, 0), 0x0000FFu);
}

TEST(DibDecoder, SixteenBitDefaultAndBitfieldMasks) {
  Bytes bits;
  bits.u16(0x7C00).u16(0x001F);  // 5-5-5: full red, full blue
  auto rgb555 = decode(info_header(2, 1, 16, BI_RGB), bits);
  ASSERT_TRUE(rgb555);
  EXPECT_EQ(rgb555->at(0, 0), 0xFF0000u);
  EXPECT_EQ(rgb555->at(1, 0), 0x0000FFu);

  Bytes bmi = info_header(2, 1, 16, BI_BITFIELDS);
  bmi.u32(0xF800).u32(0x07E0).u32(0x001F);  // red, green, blue masks after the header
  Bytes bits565;
  bits565.u16(0x07E0).u16(0x8410);  // full green; half of each channel
  auto rgb565 = decode(bmi, bits565);
  ASSERT_TRUE(rgb565);
  EXPECT_EQ(rgb565->at(0, 0), 0x00FF00u);
  EXPECT_EQ(rgb565->at(1, 0), 0x848284u);  // 10000 -> 0x84, 100000 -> 0x82 by bit repetition
}

TEST(DibDecoder, TwentyFourBitTopDownMatchesBottomUp) {
  Bytes bottom_up;
  bottom_up.u8({3, 2, 1, 0});  // bottom row: B, G, R + pad
  bottom_up.u8({6, 5, 4, 0});  // top row
  Bytes top_down;
  top_down.u8({6, 5, 4, 0});
  top_down.u8({3, 2, 1, 0});
  auto a = decode(info_header(1, 2, 24, BI_RGB), bottom_up);
  auto b = decode(info_header(1, -2, 24, BI_RGB), top_down);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->pixels, b->pixels);
  EXPECT_EQ(a->at(0, 0), 0x040506u);
}

TEST(DibDecoder, ThirtyTwoBitKeepsItsFourthByteOnlyInTheStandardLayout) {
  Bytes bits;
  bits.u32(0x4D102030);  // B 0x30, G 0x20, R 0x10, fourth byte 77
  auto plain = decode(info_header(1, 1, 32, BI_RGB), bits);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->has_alpha);
  EXPECT_EQ(plain->at(0, 0), 0x4D102030u);

  Bytes masked = info_header(1, 1, 32, BI_BITFIELDS);
  masked.u32(0x0000FF).u32(0x00FF00).u32(0xFF0000);  // red and blue swapped: a converted layout
  auto swapped = decode(masked, bits);
  ASSERT_TRUE(swapped);
  EXPECT_FALSE(swapped->has_alpha);
  EXPECT_EQ(swapped->at(0, 0), 0x00302010u);
}

TEST(DibDecoder, CoreHeaderWithTripleTable) {
  Bytes bmi;
  bmi.u32(12);                  // bcSize: BITMAPCOREHEADER
  bmi.u16(2).u16(1);            // bcWidth, bcHeight
  bmi.u16(1).u16(1);            // bcPlanes, bcBitCount
  bmi.u8({0x10, 0x20, 0x30});   // RGBTRIPLE 0: B, G, R
  bmi.u8({0x40, 0x50, 0x60});   // RGBTRIPLE 1
  Bytes bits;
  bits.u8({0b01000000, 0, 0, 0});
  auto image = decode(bmi, bits);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), 0x302010u);
  EXPECT_EQ(image->at(1, 0), 0x605040u);
}

TEST(DibDecoder, V5HeaderCarriesItsMasks) {
  Bytes bmi = info_header(1, 1, 16, BI_BITFIELDS);
  bmi.data[0] = 124;                                  // biSize: BITMAPV5HEADER
  bmi.u32(0x0F00).u32(0x00F0).u32(0x000F).u32(0);      // red, green, blue, alpha masks (4-4-4)
  bmi.data.resize(124, 0);                            // colour space, endpoints, gamma, intent, profile
  Bytes bits;
  bits.u16(0x0F80).u16(0);
  auto image = decode(bmi, bits);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), 0xFF8800u);
}

TEST(DibDecoder, PaletteIndicesGoThroughTheDefaultPalette) {
  Bytes bmi = info_header(2, 1, 1, BI_RGB);
  bmi.u16(13).u16(19);  // DIB_PAL_COLORS: indices of red and white in the default palette
  Bytes bits;
  bits.u8({0b01000000, 0, 0, 0});
  auto image = decode(bmi, bits, {ColorUsage::PaletteIndices, MonoMapping::ColorTable});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), 0xFF0000u);
  EXPECT_EQ(image->at(1, 0), 0xFFFFFFu);
}

Bytes rle_palette_header(int width, int height, int bit_count, std::uint32_t compression) {
  Bytes bmi = info_header(width, height, bit_count, compression, 3);
  bmi.rgbquad(0xFF0000).rgbquad(0x00FF00).rgbquad(0x0000FF);  // 0 red, 1 green, 2 blue
  return bmi;
}

TEST(DibDecoder, Rle8RunsEscapesAndSkippedPixels) {
  Bytes rle;
  rle.u8({2, 1});           // run: two of index 1
  rle.u8({0, 0});           // end of line
  rle.u8({0, 3, 2, 1, 2, 0});  // absolute: three literals 2 1 2, padded to a word
  rle.u8({0, 2, 1, 1});     // delta: right 1, up 1 (from x 3 of row 1 to x 4 of row 2)
  rle.u8({1, 2});           // one of index 2
  rle.u8({0, 1});           // end of bitmap
  auto image = decode(rle_palette_header(5, 3, 8, BI_RLE8), rle);
  ASSERT_TRUE(image);
  // Bottom row (image row 2): green green, then index 0 (red) where nothing was written.
  EXPECT_EQ(image->at(0, 2), 0x00FF00u);
  EXPECT_EQ(image->at(1, 2), 0x00FF00u);
  EXPECT_EQ(image->at(2, 2), 0xFF0000u);
  EXPECT_EQ(image->at(0, 1), 0x0000FFu);
  EXPECT_EQ(image->at(1, 1), 0x00FF00u);
  EXPECT_EQ(image->at(2, 1), 0x0000FFu);
  EXPECT_EQ(image->at(3, 0), 0xFF0000u);
  EXPECT_EQ(image->at(4, 0), 0x0000FFu);
}

TEST(DibDecoder, Rle4AlternatesNibbles) {
  Bytes rle;
  rle.u8({5, 0x12});         // run of five: 1 2 1 2 1
  rle.u8({0, 3, 0x21, 0x00});  // absolute: three nibbles 2 1 0, two bytes (already a word)
  auto image = decode(rle_palette_header(8, 1, 4, BI_RLE4), rle);
  ASSERT_TRUE(image);
  const std::uint32_t expected[] = {0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(image->at(x, 0), expected[x]) << x;
}

TEST(DibDecoder, TruncatedRleKeepsWhatItHas) {
  Bytes rle;
  rle.u8({2, 2});     // two blue pixels
  rle.u8({0, 9, 1});  // an absolute run that the data does not hold
  auto image = decode(rle_palette_header(3, 1, 8, BI_RLE8), rle);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(1, 0), 0x0000FFu);
  EXPECT_EQ(image->at(2, 0), 0xFF0000u);
}

TEST(DibDecoder, RefusesInconsistentData) {
  Bytes row;
  row.u8({0, 0, 0, 0});
  EXPECT_FALSE(decode(info_header(1, 2, 24, BI_RGB), row)) << "bits for one row of two";
  Bytes short_header = info_header(1, 1, 24, BI_RGB);
  short_header.data.resize(30);
  EXPECT_FALSE(decode(short_header, row)) << "header cut short";
  EXPECT_FALSE(decode(info_header(1, 1, 24, BI_RLE8), row)) << "RLE8 needs 8 bits";
  EXPECT_FALSE(decode(info_header(1, 1, 7, BI_RGB), row)) << "no such depth";
  EXPECT_FALSE(decode(info_header(0, 1, 24, BI_RGB), row)) << "empty";
  EXPECT_FALSE(decode(info_header(1 << 20, 1 << 20, 1, BI_RLE8), row)) << "past the pixel limit";
  EXPECT_FALSE(decode(info_header(2, 1, 16, BI_BITFIELDS), row)) << "masks missing";
  EXPECT_FALSE(decode(info_header(1, 1, 0, BI_PNG), row)) << "not a PNG";
  EXPECT_FALSE(decode(info_header(1, 1, 0, BI_JPEG), row)) << "not a JPEG";
}

TEST(DibDecoder, RecordOffsetsMustLieInsideTheRecord) {
  Bytes record = info_header(1, 1, 24, BI_RGB);
  record.u8({1, 2, 3, 0});
  const ByteReader r = record.reader();
  EXPECT_TRUE(decode_dib_in_record(r, 0, 40, 40, 4));
  EXPECT_FALSE(decode_dib_in_record(r, 0, 40, 40, 8));
  EXPECT_FALSE(decode_dib_in_record(r, 0xFFFFFFF0u, 40, 40, 4));
}

// A 2 x 1 PNG (red, blue) made with libpng's simplified writer.
std::vector<std::uint8_t> tiny_png() {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = 2;
  png.height = 1;
  png.format = PNG_FORMAT_RGB;
  const std::uint8_t pixels[] = {255, 0, 0, 0, 0, 255};
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&png, nullptr, &size, 0, pixels, 0, nullptr);
  std::vector<std::uint8_t> out(size);
  png_image_write_to_memory(&png, out.data(), &size, 0, pixels, 0, nullptr);
  return out;
}

// A 16 x 8 grey JPEG made with libjpeg.
std::vector<std::uint8_t> tiny_jpeg() {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = 16;
  info.image_height = 8;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(16 * 3, 128);
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return out;
}

TEST(DibDecoder, EmbeddedPngAndJpeg) {
  Bytes png;
  png.data = tiny_png();
  auto from_png = decode(info_header(2, 1, 0, BI_PNG), png);
  ASSERT_TRUE(from_png);
  EXPECT_EQ(from_png->at(0, 0), 0xFF0000u);
  EXPECT_EQ(from_png->at(1, 0), 0x0000FFu);
  EXPECT_FALSE(decode(info_header(3, 1, 0, BI_PNG), png)) << "header and image disagree";

  Bytes jpeg;
  jpeg.data = tiny_jpeg();
  auto from_jpeg = decode(info_header(16, 8, 0, BI_JPEG), jpeg);
  ASSERT_TRUE(from_jpeg);
  EXPECT_NEAR(static_cast<int>(from_jpeg->at(5, 5) & 0xFF), 128, 2);
  jpeg.data.resize(jpeg.data.size() / 2);
  auto cut = decode(info_header(16, 8, 0, BI_JPEG), jpeg);  // libjpeg pads a cut stream: no crash, any result
  (void)cut;
}

}  // namespace
}  // namespace velmora::platform
