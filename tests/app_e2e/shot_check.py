#!/usr/bin/env python3
"""Checks of the generator's end-to-end test that read pictures.

  shot_check.py window SHOT CLIENT_X CLIENT_Y RESOURCES SYMBOL
      Compares a screenshot of the generator's window, whose client area
      starts at (CLIENT_X, CLIENT_Y) on the screen, with the pictures it
      should show: the window's and the panel's backgrounds, the two button
      pictures stretched to their boxes, the information icon under its
      transparent label, the captions' colours, the edit and combo boxes'
      colours and frames, and SYMBOL (a BMP) stretched into the symbol box.
  shot_check.py icon SHOT WINDOW_X WINDOW_Y ICO
      Looks for the small (16 x 16) picture of the icon file in the caption
      of the window whose outer frame starts at (WINDOW_X, WINDOW_Y).
  shot_check.py bmp FILE
      Prints "<bits per pixel> <width> <height> <margin>" of a BMP, margin
      being the first dark pixel on its diagonal from the top-left (-1: none).

Prints one "ok NAME" or "FAIL NAME: why" line per check; the exit status is
the number of failures.
"""
import subprocess
import sys

CONVERT = "/usr/bin/convert"  # ImageMagick's


def load(path, frame=0):
    """(width, height, rows of (r, g, b)) of a picture (the frame of a file of
    several), through ImageMagick's PPM output."""
    data = subprocess.run([CONVERT, "%s[%d]" % (path, frame), "-depth", "8", "ppm:-"], check=True,
                          capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    pixels = data[pos:pos + 3 * w * h]
    return w, h, [[tuple(pixels[3 * (y * w + x):3 * (y * w + x) + 3]) for x in range(w)] for y in range(h)]


def close(a, b, tolerance):
    return all(abs(int(p) - int(q)) <= tolerance for p, q in zip(a, b))


def dark(p):
    return (p[0] * 299 + p[1] * 587 + p[2] * 114) // 1000 < 128


class Shot:
    def __init__(self, path, cx, cy):
        self.w, self.h, self.rows = load(path)
        self.cx, self.cy = cx, cy

    def at(self, x, y):
        """Pixel at client coordinates."""
        return self.rows[self.cy + y][self.cx + x]


failures = 0


def report(name, ok, why=""):
    global failures
    if ok:
        print("ok " + name)
    else:
        failures += 1
        print("FAIL %s: %s" % (name, why))


# Places in client coordinates; the panel 图片框2 lies at (0, 8).
PANEL_Y = 8
CLIENT_W, CLIENT_H = 311, 478  # what the frame leaves of 321 x 507; only what is on screen is compared
CONTROLS = {  # panel coordinates: x, y, w, h
    "透明标签3": (256, 0, 48, 24), "透明标签2": (272, 432, 32, 32), "透明标签1": (152, 0, 96, 24),
    "图片框4": (96, 400, 128, 40), "图片框3": (96, 320, 128, 32), "组合框_版本": (8, 0, 136, 20),
    "编辑框1": (0, 248, 312, 56), "图片框1": (120, 136, 80, 80),
}


def inside(x, y, rect, margin=0):
    rx, ry, rw, rh = rect
    return rx - margin <= x < rx + rw + margin and ry - margin <= y < ry + rh + margin


def compare_points(name, points, shot_at, picture_at, tolerance, share):
    good = sum(1 for p in points if close(shot_at(*p), picture_at(*p), tolerance))
    report(name, good >= share * len(points), "%d of %d points match" % (good, len(points)))


def stretched_match(shot, box, picture):
    """Best share of agreeing dark/light pixels of the box against the picture
    stretched into it, over the sampling phases a stretch may use."""
    bx, by, bw, bh = box
    pw, ph, rows = picture
    best = 0.0
    for phase_x in range(0, pw // bw + 1):
        for phase_y in range(0, ph // bh + 1):
            agree = 0
            for dy in range(bh):
                sy = min(ph - 1, dy * ph // bh + phase_y)
                for dx in range(bw):
                    sx = min(pw - 1, dx * pw // bw + phase_x)
                    agree += dark(shot.at(bx + dx, by + dy)) == dark(rows[sy][sx])
            best = max(best, agree / (bw * bh))
    return best


def check_window(shot_path, cx, cy, resources, symbol_path):
    shot = Shot(shot_path, cx, cy)
    panel = load(resources + "/panel-background.jpg")[2]
    window = load(resources + "/window-background.jpg")[2]

    # The window's own background shows in the strip above the panel.
    strip = [(x, y) for x in range(0, CLIENT_W, 7) for y in range(0, PANEL_Y, 3)]
    compare_points("window background strip", strip, shot.at, lambda x, y: window[y][x], 40, 0.95)

    # The panel's picture at its own size wherever no opaque control covers it
    # (the transparent labels show it too, away from their captions).
    opaque = [CONTROLS[n] for n in ("图片框4", "图片框3", "组合框_版本", "编辑框1", "图片框1")]
    points = [(x, y) for x in range(2, CLIENT_W, 9) for y in range(2, CLIENT_H - PANEL_Y, 9)
              if not any(inside(x, y, r, 2) for r in opaque)
              and not inside(x, y, CONTROLS["透明标签3"], 1) and not inside(x, y, CONTROLS["透明标签1"], 1)]
    compare_points("panel background", points, lambda x, y: shot.at(x, y + PANEL_Y),
                   lambda x, y: panel[y][x], 40, 0.95)

    icon = [(x, y) for x in range(276, 301, 3) for y in range(436, 461, 3)]
    compare_points("information icon under its transparent label", icon, lambda x, y: shot.at(x, y + PANEL_Y),
                   lambda x, y: panel[y][x], 40, 0.95)

    # A stretch may sample its source a pixel either way of where this one
    # would: a box pixel matches when it is close to one of the source pixels
    # around the one it maps to.
    for name, file in (("图片框3", "generate-button.jpg"), ("图片框4", "save-button.jpg")):
        pw, ph, rows = load(resources + "/" + file)
        bx, by, bw, bh = CONTROLS[name]
        pts = [(x, y) for x in range(0, bw, 2) for y in range(0, bh, 2)]
        good = 0
        for x, y in pts:
            sx, sy = x * pw // bw, y * ph // bh
            p = shot.at(bx + x, PANEL_Y + by + y)
            good += any(close(p, rows[min(ph - 1, max(0, sy + j))][min(pw - 1, max(0, sx + i))], 40)
                        for i in (-1, 0, 1) for j in (-1, 0, 1))
        report("button picture of %s stretched from %dx%d" % (name, pw, ph), good >= 0.95 * len(pts),
               "%d of %d points match" % (good, len(pts)))

    # Chinese characters are as wide as the font is high (11 or 12 pixels in
    # the default GUI font's size); a face without them draws narrower boxes
    # (7 pixels in Wine's fall-back face).
    for name, colour, chars in (("透明标签3", (255, 0, 0), 4), ("透明标签1", (40, 61, 202), 8)):
        bx, by, bw, bh = CONTROLS[name]
        xs = [x for y in range(bh) for x in range(bw) if close(shot.at(bx + x, PANEL_Y + by + y), colour, 50)]
        report("caption of %s drawn in %s" % (name, colour), len(xs) >= 40, "%d pixels of that colour" % len(xs))
        extent = max(xs) - min(xs) + 1 if xs else 0
        report("caption of %s as %d Chinese characters, not boxes" % (name, chars), extent >= 10 * chars,
               "%d pixels wide" % extent)

    frame = (198, 197, 215)
    ex, ey, ew, eh = CONTROLS["编辑框1"]
    report("edit box background (0, 136, 255)", close(shot.at(ex + ew - 8, PANEL_Y + ey + eh - 6), (0, 136, 255), 8),
           str(shot.at(ex + ew - 8, PANEL_Y + ey + eh - 6)))
    report("edit box frame in the theme's colour", close(shot.at(ex + ew // 2, PANEL_Y + ey), frame, 8),
           str(shot.at(ex + ew // 2, PANEL_Y + ey)))
    vx, vy, vw, vh = CONTROLS["组合框_版本"]
    report("version list background (0, 96, 192)", close(shot.at(vx + vw - 26, PANEL_Y + vy + vh // 2), (0, 96, 192), 8),
           str(shot.at(vx + vw - 26, PANEL_Y + vy + vh // 2)))
    report("version list frame in the theme's colour", close(shot.at(vx + vw // 2, PANEL_Y + vy), frame, 8),
           str(shot.at(vx + vw // 2, PANEL_Y + vy)))

    sx, sy, sw, sh = CONTROLS["图片框1"]
    share = stretched_match(shot, (sx, PANEL_Y + sy, sw, sh), load(symbol_path))
    report("symbol picture is %s stretched to 80x80" % symbol_path.rsplit("/", 1)[-1], share >= 0.97,
           "%.1f%% of its pixels agree" % (100 * share))


def check_icon(shot_path, wx, wy, ico):
    shot = Shot(shot_path, wx, wy)
    w, h, rows = load(ico, 1)
    best, where = 0.0, None
    for oy in range(0, 12):
        for ox in range(0, 12):
            agree = sum(dark(shot.at(ox + x, oy + y)) == dark(rows[y][x]) for y in range(h) for x in range(w))
            if agree / (w * h) > best:
                best, where = agree / (w * h), (ox, oy)
    report("the caption shows the program's %dx%d icon" % (w, h), best >= 0.98,
           "best match %.1f%% at %s" % (100 * best, where))


def bmp_info(path):
    data = open(path, "rb").read()
    bpp = data[28] | data[29] << 8
    w = int.from_bytes(data[18:22], "little", signed=True)
    h = int.from_bytes(data[22:26], "little", signed=True)
    offset = int.from_bytes(data[10:14], "little")
    stride = (bpp * w + 31) // 32 * 4
    margin = -1
    if bpp == 1:
        for i in range(min(w, h)):
            row = offset + stride * (h - 1 - i)
            if not (data[row + i // 8] >> (7 - i % 8)) & 1:
                margin = i
                break
    print(bpp, w, h, margin)


if __name__ == "__main__":
    if len(sys.argv) == 7 and sys.argv[1] == "window":
        check_window(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5], sys.argv[6])
    elif len(sys.argv) == 6 and sys.argv[1] == "icon":
        check_icon(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5])
    elif len(sys.argv) == 3 and sys.argv[1] == "bmp":
        bmp_info(sys.argv[2])
    else:
        sys.exit(__doc__)
    sys.exit(failures)
