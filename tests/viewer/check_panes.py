#!/usr/bin/env python3
"""Checks a screenshot of the viewer for a drawing in both panes.

Usage: check_panes.py SCREENSHOT "X=.. Y=.. WIDTH=.. HEIGHT=.." (xdotool's
getwindowgeometry --shell). Each half of the window, from 60 pixels below its
top (menu bar and label line), must hold at least 2 % pixels that are not
the white background.
"""
import sys

from PIL import Image


def geometry(text):
    fields = dict(part.split("=", 1) for part in text.split() if "=" in part)
    return int(fields["X"]), int(fields["Y"]), int(fields["WIDTH"]), int(fields["HEIGHT"])


def inked_share(image, box):
    region = image.crop(box).convert("RGB")
    pixels = list(region.getdata())
    inked = sum(1 for r, g, b in pixels if min(r, g, b) < 235)
    return inked / max(len(pixels), 1)


def main():
    image = Image.open(sys.argv[1])
    x, y, width, height = geometry(sys.argv[2])
    top = y + 60
    left = inked_share(image, (x, top, x + width // 2, y + height))
    right = inked_share(image, (x + width // 2 + 1, top, x + width, y + height))
    print(f"inked: left pane {left:.1%}, right pane {right:.1%}")
    if left < 0.02 or right < 0.02:
        sys.exit("a pane holds no drawing")


if __name__ == "__main__":
    main()
