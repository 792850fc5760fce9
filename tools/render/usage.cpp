#include "render/usage.h"

namespace velmora::render {

const char* help_text() {
  return R"(Usage: velmora-render [OPTION]... INPUT... [-o OUT]
Draws Windows metafiles (EMF, WMF, placeable WMF) as anti-aliased PNG images.

INPUT is a metafile, a folder (searched for metafiles by their content,
whatever their names), or - for standard input. With one INPUT the PNG goes
to OUT (a file, a folder, or - for standard output) or beside the input as
NAME.png; with several, OUT is a folder that keeps the inputs' layout.

Size (default: the picture's own size at 96 DPI)
  --width N, --height N   pixels; one of them alone keeps the aspect ratio
  --size WxH              fit into W x H pixels, keeping the aspect ratio
  --no-fit                with --size: stretch to exactly W x H
  --fit                   keep the aspect ratio (the default)
  --dpi N                 resolution for the default size
  --thumbnail N           the longest side N pixels, fitted, transparent

Drawing
  --angle DEGREES         turn counter-clockwise about the centre
  --crop L,T,R,B          draw only part of the picture, as fractions of its
                          width and height (0,0,1,1 is all of it)
  --alpha 0-255           opacity of what is drawn (default 255)
  -b, --background COLOR  #rrggbb, #rgb, a name such as white, or
                          transparent (the default)
  --plain                 the platform's plain player alone, not anti-aliased
  --compare               plain and anti-aliased side by side, labelled

Reports
  --info                  describe the file (kind, headers, frame, bounds,
                          records) instead of drawing it
  --json                  the same as JSON
  --time                  print how long the drawing call took
  --repeat N              draw N times and print the median time

Runs
  -o, --output OUT        where the PNG goes (see above)
  -j, --jobs N            draw N files at a time (default: one per core);
                          the output is the same for every N
  -h, --help              this text
  -V, --version           the version

Examples
  velmora-render drawing.emf                    writes drawing.png
  velmora-render --width 800 -b white logo.wmf -o logo.png
  velmora-render --compare samples/tiger.emf -o tiger-compare.png
  velmora-render -j 4 clipart/ -o png/          every metafile under clipart/
  cat picture.emf | velmora-render - -o - > picture.png
  velmora-render --info --json chart.emf

Exit status: 0 when every input was drawn (or described), 1 when any
failed (each failure is one line on standard error naming the file and the
reason; no partial PNG is left behind), 2 for a command-line error.
)";
}

const char* version_text() { return "velmora-render " VELMORA_VERSION "\n"; }

}  // namespace velmora::render
