// Draws a metafile into a memory bitmap with Velmora and saves the bitmap
// as a 32-bit BMP file.
//
//   draw_metafile PICTURE.emf|.wmf OUT.bmp [WIDTH HEIGHT]
#include <velmora.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: %s PICTURE OUT.bmp [WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  const int width = argc == 5 ? std::atoi(argv[3]) : 640;
  const int height = argc == 5 ? std::atoi(argv[4]) : 480;

  // A memory device context with a 32-bit DIB section selected into it;
  // positive height: rows stored bottom-up, as a BMP file holds them.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return 1;
  HGDIOBJ previous = SelectObject(dc, bitmap);
  const DWORD image_bytes = DWORD(width) * DWORD(height) * 4;
  std::memset(bits, 0xFF, image_bytes);  // opaque white

  // The whole picture, anti-aliased, fitted to its aspect ratio; the
  // rectangle's right and bottom edges are inclusive.
  RECT rect{0, 0, width - 1, height - 1};
  int drawn = VelmoraFile(dc, argv[1], &rect, 255, true, 0.0);
  GdiFlush();

  if (drawn) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + image_bytes;
    std::FILE* out = std::fopen(argv[2], "wb");
    const bool wrote = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                       std::fwrite(bits, image_bytes, 1, out) == 1;
    if (out) std::fclose(out);
    if (!wrote) std::fprintf(stderr, "cannot write %s\n", argv[2]);
    drawn = wrote;
  } else {
    std::fprintf(stderr, "%s: not drawn\n", argv[1]);
  }

  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return drawn ? 0 : 1;
}
