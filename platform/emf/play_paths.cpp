// Path records: the BeginPath .. EndPath bracket, and filling, stroking,
// flattening and widening the finished path. SelectClipPath belongs to the
// clipping records.
#include "emf/drawing.h"
#include "emf/record_handlers.h"
#include "gdi/dc_paint.h"

#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>

#include <algorithm>

namespace velmora::platform {
namespace {

void on_begin_path(Playback& p, ByteReader) { p.dc().path().begin(); }
void on_end_path(Playback& p, ByteReader) { p.dc().path().end(); }
void on_abort_path(Playback& p, ByteReader) { p.dc().path().abort(); }

void on_close_figure(Playback& p, ByteReader) {
  if (p.dc().path().is_open()) p.dc().path().close_figure();
}

bool path_finished(const DeviceContext& dc) { return dc.path().state() == DevicePath::State::Closed; }

void on_fill_path(Playback& p, ByteReader) {
  DeviceContext& dc = p.dc();
  if (!path_finished(dc)) return;
  fill_device_path(dc, dc.path());
  dc.path().abort();
}

void on_stroke_path(Playback& p, ByteReader) {
  DeviceContext& dc = p.dc();
  if (!path_finished(dc)) return;
  stroke_device_path(dc, dc.path());
  dc.path().abort();
}

void on_stroke_and_fill_path(Playback& p, ByteReader) {
  DeviceContext& dc = p.dc();
  if (!path_finished(dc)) return;
  fill_device_path(dc, dc.path());
  stroke_device_path(dc, dc.path());
  dc.path().abort();
}

void on_flatten_path(Playback& p, ByteReader) {
  DevicePath& path = p.dc().path();
  if (path.state() == DevicePath::State::Closed) path.replace(path.flattened());
}

// WidenPath: the path becomes the outline of its stroke with the current pen.
void on_widen_path(Playback& p, ByteReader) {
  DeviceContext& dc = p.dc();
  DevicePath& path = dc.path();
  const PenTraits& pen = dc.state().pen_traits;
  if (path.state() != DevicePath::State::Closed || pen.is_null()) return;
  agg::path_storage source = path.to_agg();
  agg::conv_curve<agg::path_storage> curves(source);
  agg::conv_stroke<agg::conv_curve<agg::path_storage>> stroke(curves);
  stroke.width(std::max(1.0, device_pen_width(pen, DeviceMapping(dc).scale())));
  DevicePath widened;
  double x, y;
  stroke.rewind(0);
  for (unsigned cmd; !agg::is_stop(cmd = stroke.vertex(&x, &y));) {
    if (agg::is_vertex(cmd)) {
      if (!widened.add(x, y, agg::is_move_to(cmd) ? DevicePath::Kind::MoveTo : DevicePath::Kind::LineTo)) break;
    } else if (agg::is_end_poly(cmd)) {
      widened.close_figure();
    }
  }
  path.replace(widened.vertices());
}

}  // namespace

void register_path_handlers(HandlerTable& table) {
  table.add(EMR_BEGINPATH, on_begin_path);
  table.add(EMR_ENDPATH, on_end_path);
  table.add(EMR_ABORTPATH, on_abort_path);
  table.add(EMR_CLOSEFIGURE, on_close_figure);
  table.add(EMR_FILLPATH, on_fill_path);
  table.add(EMR_STROKEPATH, on_stroke_path);
  table.add(EMR_STROKEANDFILLPATH, on_stroke_and_fill_path);
  table.add(EMR_FLATTENPATH, on_flatten_path);
  table.add(EMR_WIDENPATH, on_widen_path);
}

}  // namespace velmora::platform
