// The supersampled capture: a memory device context with two 32-bit
// bottom-up DIB sections of the capture's size, the result (made first) and
// the capture (made second and selected). The surface owns all three and
// releases them when it goes out of scope, whichever way the call leaves.
//
// After capture() the capture bitmap holds, per pixel: the colour the player
// drew with alpha = the key, or all four bytes 0 where the picture did not
// draw and on the one-pixel frame.
#pragma once

#include <windows.h>

#include <cstdint>

namespace velmora::core {

// The pixel memory of one DIB section: rows of 4 * width bytes, bottom-up.
struct PixelMemory {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
};

// The capture's own passes, in the order capture() makes them: every byte 0
// and every alpha byte the key; after playback, the alpha bytes XORed with
// the key (drawn pixels take it, untouched ones become transparent); the
// one-pixel frame cleared.
void prefill(const PixelMemory& memory, unsigned char key);
void flip_key(const PixelMemory& memory, unsigned char key);
void clear_frame(const PixelMemory& memory);

class CaptureSurface {
 public:
  // Makes the memory context compatible with `target`, then the result
  // bitmap, then the capture bitmap, and selects the capture bitmap.
  // Stops at the first failure; valid() tells whether all were had.
  CaptureSurface(HDC target, int width, int height);
  ~CaptureSurface();
  CaptureSurface(const CaptureSurface&) = delete;
  CaptureSurface& operator=(const CaptureSurface&) = delete;

  bool valid() const { return valid_; }
  HDC dc() const { return memory_dc_; }
  PixelMemory capture_pixels() const { return {capture_bits_, width_, height_}; }
  PixelMemory result_pixels() const { return {result_bits_, width_, height_}; }

  // Plays the picture into `playback` and keys the drawn pixels with `key`.
  void capture(HENHMETAFILE picture, const RECT& playback, unsigned char key);

  // Puts the result bitmap in the capture's place, as the blit's source.
  void select_result();

 private:
  HBITMAP create_bitmap(std::uint8_t** bits) const;

  int width_;
  int height_;
  HDC memory_dc_ = nullptr;
  HBITMAP result_ = nullptr;
  HBITMAP capture_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint8_t* result_bits_ = nullptr;
  std::uint8_t* capture_bits_ = nullptr;
  bool valid_ = false;
};

}  // namespace velmora::core
