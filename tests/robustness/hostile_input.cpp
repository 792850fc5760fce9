#include "robustness/hostile_input.h"

#include <platform_diagnostics.h>

#include <iterator>
#include <utility>

namespace velmora::test {
namespace {

constexpr std::pair<DWORD, const char*> kTrackedTypes[] = {
    {OBJ_MEMDC, "OBJ_MEMDC"}, {OBJ_BITMAP, "OBJ_BITMAP"}, {OBJ_ENHMETAFILE, "OBJ_ENHMETAFILE"},
    {OBJ_PEN, "OBJ_PEN"},     {OBJ_BRUSH, "OBJ_BRUSH"},   {OBJ_FONT, "OBJ_FONT"},
    {OBJ_EXTPEN, "OBJ_EXTPEN"}, {OBJ_REGION, "OBJ_REGION"}, {OBJ_PAL, "OBJ_PAL"}};

bool play_and_delete(HENHMETAFILE picture, int side) {
  if (!picture) return false;
  SmallCanvas(side).play(picture);
  DeleteEnhMetaFile(picture);
  return true;
}

}  // namespace

SmallCanvas::SmallCanvas(int side) : side_(side) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  previous_ = SelectObject(dc_, bitmap_);
}

SmallCanvas::~SmallCanvas() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void SmallCanvas::play(HENHMETAFILE picture) const {
  const RECT whole = bounds();
  PlayEnhMetaFile(dc_, picture, &whole);
}

static_assert(std::size(kTrackedTypes) == LiveObjects::kTypeCount);

LiveObjects LiveObjects::now() {
  LiveObjects live;
  for (std::size_t i = 0; i < kTypeCount; ++i) live.counts_[i] = VelmoraPlatformLiveObjects(kTrackedTypes[i].first);
  return live;
}

std::string LiveObjects::changes_since(const LiveObjects& before) const {
  std::string changes;
  for (std::size_t i = 0; i < kTypeCount; ++i) {
    if (counts_[i] == before.counts_[i]) continue;
    changes += std::string(changes.empty() ? "" : ", ") + kTrackedTypes[i].second + " " +
               std::to_string(before.counts_[i]) + " -> " + std::to_string(counts_[i]);
  }
  return changes;
}

bool play_emf_bytes(const Bytes& bytes, int side) {
  return play_and_delete(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()), side);
}

bool convert_and_play_wmf_bytes(const Bytes& bytes, int side) {
  return play_and_delete(SetWinMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data(), nullptr, nullptr), side);
}

}  // namespace velmora::test
