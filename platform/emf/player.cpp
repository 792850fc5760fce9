// PlayEnhMetaFile: maps the picture's frame onto the playback rectangle and
// hands each record to the handler registered for its type.
#include "common/no_throw.h"
#include "emf/player.h"
#include "emf/record_handlers.h"

#include <new>

namespace velmora::platform {
namespace {

const HandlerTable& handlers() {
  static const HandlerTable table = [] {
    HandlerTable t;
    register_state_handlers(t);
    register_object_handlers(t);
    register_shape_handlers(t);
    register_path_handlers(t);
    register_clip_handlers(t);
    register_text_handlers(t);
    register_bitmap_handlers(t);
    return t;
  }();
  return table;
}

// The reference device the records were made for. A header without usable
// sizes falls back to a common screen.
ReferenceDevice reference_of(const ENHMETAHEADER& h) {
  ReferenceDevice ref;
  if (h.szlDevice.cx > 0 && h.szlDevice.cy > 0 && h.szlMillimeters.cx > 0 && h.szlMillimeters.cy > 0) {
    ref.pixels = h.szlDevice;
    ref.millimeters = h.szlMillimeters;
  }
  return ref;
}

// The frame (0.01 mm) as a rectangle in reference-device pixels; the bounds
// when the frame is empty.
bool frame_in_pixels(const ENHMETAHEADER& h, const ReferenceDevice& ref, double frame[4]) {
  const double px_per_unit_x = ref.pixels.cx / (ref.millimeters.cx * 100.0);
  const double px_per_unit_y = ref.pixels.cy / (ref.millimeters.cy * 100.0);
  const RECTL& f = h.rclFrame;
  if (f.right > f.left && f.bottom > f.top) {
    frame[0] = f.left * px_per_unit_x;
    frame[1] = f.top * px_per_unit_y;
    frame[2] = f.right * px_per_unit_x;
    frame[3] = f.bottom * px_per_unit_y;
    return true;
  }
  const RECTL& b = h.rclBounds;
  if (b.right <= b.left || b.bottom <= b.top) return false;
  frame[0] = b.left;
  frame[1] = b.top;
  frame[2] = b.right;
  frame[3] = b.bottom;
  return true;
}

// The transform from the records' device space onto the rectangle, which is
// in the caller's logical coordinates.
bool playback_transform(const ENHMETAHEADER& h, const ReferenceDevice& ref, const RECT& rect, agg::trans_affine& out) {
  double frame[4];
  if (!frame_in_pixels(h, ref, frame)) return false;
  const double sx = (rect.right - rect.left) / (frame[2] - frame[0]);
  const double sy = (rect.bottom - rect.top) / (frame[3] - frame[1]);
  out = agg::trans_affine(sx, 0.0, 0.0, sy, rect.left - frame[0] * sx, rect.top - frame[1] * sy);
  return out.is_valid();
}

void play_record(Playback& playback, const RecordSpan& span) {
  RecordHandler handler = handlers().find(span.type);
  if (!handler) return;
  const auto bytes = playback.metafile().record_bytes(span);
  try {
    handler(playback, ByteReader(bytes.data() + 8, bytes.size() - 8));
  } catch (const std::bad_alloc&) {
    // A record too large to draw is skipped like a malformed one.
  }
}

// A fresh drawing state for the picture: defaults, the caller's clip as the
// meta region, and the playback transform after the caller's own. Metric
// mapping modes inside the picture measure against the picture's reference
// device, so that a picture drawn in millimetres fills its frame like any
// other (the reference player measures against its own screen instead, which
// shrinks such pictures).
void prepare_state(DeviceContext& dc, const ReferenceDevice& ref, const agg::trans_affine& frame_to_rect) {
  const DcState caller = dc.state();
  DcState fresh;
  fresh.reference = ref;
  fresh.base = frame_to_rect * dc.logical_to_device();
  fresh.clip = caller.clip;
  fresh.meta_region = caller.clip;
  dc.state() = std::move(fresh);
  dc.select_object(stock_object(BLACK_PEN));
  dc.select_object(stock_object(WHITE_BRUSH));
  dc.select_object(stock_object(SYSTEM_FONT));
  dc.select_object(stock_object(DEFAULT_PALETTE));
  dc.path().abort();
}

}  // namespace

bool play_enh_metafile(DeviceContext& dc, const EnhMetaFile& metafile, const RECT& rect) {
  const ReferenceDevice ref = reference_of(metafile.header());
  agg::trans_affine frame_to_rect;
  if (!playback_transform(metafile.header(), ref, rect, frame_to_rect)) return false;
  const int entry_depth = dc.save();
  if (entry_depth == 0) return false;
  prepare_state(dc, ref, frame_to_rect);
  {
    Playback playback(dc, metafile);
    for (const RecordSpan& span : metafile.records()) {
      if (span.type == EMR_EOF) break;
      play_record(playback, span);
    }
  }
  dc.restore(entry_depth);
  return true;
}

}  // namespace velmora::platform

BOOL WINAPI PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect) {
  using namespace velmora::platform;
  return no_throw<BOOL>(FALSE, [&]() -> BOOL {
    DeviceContext* dc = lookup_dc(hdc);
    const EnhMetaFile* metafile = lookup<EnhMetaFile>(hmf);
    if (!dc || !metafile || !lprect) return FALSE;
    return play_enh_metafile(*dc, *metafile, *lprect) ? TRUE : FALSE;
  });
}
