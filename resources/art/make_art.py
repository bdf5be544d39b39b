#!/usr/bin/env python3
"""Draws the setup's pictures: the microphone banner (bitmap 102), the title art
(bitmap 103) and the setup icon.

Standard library only and no randomness, so every run writes the same bytes.
Shapes are filled at SS x SS samples per pixel and averaged down, which gives
smooth edges without any imaging library.

Usage: make_art.py [output folder]   (default: the folder of this script)
"""

import math
import os
import struct
import sys

# The license dialog paints its background, its document and its buttons in
# this colour; the banner sits on it, so the banner's own background matches.
DIALOG_BACKGROUND = (207, 207, 223)

SS = 4  # samples per pixel along each axis


# ---------------------------------------------------------------------------
# Sampled drawing surface


class Mask:
    """A set of samples of a canvas, built from shapes given as predicates."""

    def __init__(self, width, height):
        self.w = width * SS
        self.h = height * SS
        self.bits = bytearray(self.w * self.h)
        self.box = None  # sample rectangle x0, y0, x1, y1 (exclusive) that holds every set bit

    def _sample_box(self, box):
        x0, y0, x1, y1 = box
        sx0 = max(0, int(math.floor(x0 * SS)))
        sy0 = max(0, int(math.floor(y0 * SS)))
        sx1 = min(self.w, int(math.ceil(x1 * SS)) + 1)
        sy1 = min(self.h, int(math.ceil(y1 * SS)) + 1)
        return sx0, sy0, sx1, sy1

    def add(self, inside, box):
        """Sets every sample of box (pixel units) whose centre satisfies inside(x, y)."""
        sx0, sy0, sx1, sy1 = self._sample_box(box)
        if sx0 >= sx1 or sy0 >= sy1:
            return self
        bits, w = self.bits, self.w
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            row = sy * w
            for sx in range(sx0, sx1):
                if inside((sx + 0.5) / SS, y):
                    bits[row + sx] = 1
        if self.box is None:
            self.box = (sx0, sy0, sx1, sy1)
        else:
            b = self.box
            self.box = (min(b[0], sx0), min(b[1], sy0), max(b[2], sx1), max(b[3], sy1))
        return self

    def cut(self, inside, box):
        """Clears every sample of box whose centre satisfies inside(x, y)."""
        sx0, sy0, sx1, sy1 = self._sample_box(box)
        bits, w = self.bits, self.w
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            row = sy * w
            for sx in range(sx0, sx1):
                if bits[row + sx] and inside((sx + 0.5) / SS, y):
                    bits[row + sx] = 0
        return self

    def keep(self, other):
        """Clears every sample that is not also in other."""
        for i, b in enumerate(other.bits):
            if not b:
                self.bits[i] = 0
        return self

    def shifted(self, dx, dy):
        """A copy moved by whole samples."""
        out = Mask(self.w // SS, self.h // SS)
        if self.box is None:
            return out
        x0, y0, x1, y1 = self.box
        for sy in range(y0, y1):
            ty = sy + dy
            if not 0 <= ty < self.h:
                continue
            for sx in range(x0, x1):
                tx = sx + dx
                if 0 <= tx < self.w and self.bits[sy * self.w + sx]:
                    out.bits[ty * self.w + tx] = 1
        out.box = (max(0, x0 + dx), max(0, y0 + dy), min(self.w, x1 + dx), min(self.h, y1 + dy))
        return out


class Canvas:
    """An RGB picture with coverage, kept at SS x SS samples per pixel."""

    def __init__(self, width, height, color=None):
        self.width, self.height = width, height
        self.w, self.h = width * SS, height * SS
        n = self.w * self.h
        c = color if color is not None else (0, 0, 0)
        self.r = [float(c[0])] * n
        self.g = [float(c[1])] * n
        self.b = [float(c[2])] * n
        self.a = [1.0 if color is not None else 0.0] * n

    def mask(self):
        return Mask(self.width, self.height)

    def paint(self, mask, color, alpha=1.0):
        """Blends color (an RGB tuple or a function of x, y in pixels) over the mask's samples."""
        if mask.box is None:
            return
        x0, y0, x1, y1 = mask.box
        fixed = None if callable(color) else color
        for sy in range(y0, y1):
            y = (sy + 0.5) / SS
            row = sy * self.w
            for sx in range(x0, x1):
                i = row + sx
                if not mask.bits[i]:
                    continue
                c = fixed if fixed is not None else color((sx + 0.5) / SS, y)
                k = 1.0 - alpha
                self.r[i] = c[0] * alpha + self.r[i] * k
                self.g[i] = c[1] * alpha + self.g[i] * k
                self.b[i] = c[2] * alpha + self.b[i] * k
                self.a[i] = alpha + self.a[i] * k

    def pixels(self):
        """Averages the samples: rows top to bottom of (r, g, b, coverage), colours 0..255."""
        out = []
        n = float(SS * SS)
        for py in range(self.height):
            row = []
            for px in range(self.width):
                sr = sg = sb = sa = 0.0
                for sy in range(py * SS, py * SS + SS):
                    base = sy * self.w + px * SS
                    for i in range(base, base + SS):
                        a = self.a[i]
                        sr += self.r[i] * a
                        sg += self.g[i] * a
                        sb += self.b[i] * a
                        sa += a
                if sa > 0.0:
                    c = (sr / sa, sg / sa, sb / sa)
                else:
                    c = (0.0, 0.0, 0.0)
                row.append(tuple(clamp8(v) for v in c) + (sa / n,))
            out.append(row)
        return out


def clamp8(v):
    return max(0, min(255, int(round(v))))


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def scale_color(c, k):
    return tuple(min(255.0, v * k) for v in c)


# ---------------------------------------------------------------------------
# Shapes as predicates with their bounding boxes (pixel units)


def disc(cx, cy, r):
    rr = r * r
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rr), (cx - r, cy - r, cx + r, cy + r)


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u = dx * ca + dy * sa
        v = -dx * sa + dy * ca
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0

    m = max(rx, ry)
    return inside, (cx - m, cy - m, cx + m, cy + m)


def segment_distance2(x, y, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0.0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
    ex, ey = x0 + t * dx - x, y0 + t * dy - y
    return ex * ex + ey * ey


def capsule(x0, y0, x1, y1, r):
    """A line of thickness 2r with round ends."""
    rr = r * r
    return (lambda x, y: segment_distance2(x, y, x0, y0, x1, y1) <= rr), (
        min(x0, x1) - r,
        min(y0, y1) - r,
        max(x0, x1) + r,
        max(y0, y1) + r,
    )


def polygon(points):
    """Even-odd fill of a closed polygon."""
    n = len(points)

    def inside(x, y):
        c = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside, (x0, y0, x1, y1)


def ring(cx, cy, r_in, r_out, a0, a1):
    """Part of an annulus between angles a0 and a1 (degrees, y down, clockwise)."""

    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < r_in * r_in or d2 > r_out * r_out:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx))
        return a0 <= a <= a1 or a0 <= a + 360.0 <= a1

    return inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out)


def stroke(mask, polylines, r):
    """Adds round-capped strokes of half-width r along every polyline."""
    for line in polylines:
        if len(line) == 1:
            mask.add(*disc(line[0][0], line[0][1], r))
        for (x0, y0), (x1, y1) in zip(line, line[1:]):
            mask.add(*capsule(x0, y0, x1, y1, r))


# ---------------------------------------------------------------------------
# Lettering


def arc(cx, cy, rx, ry, a0, a1, steps=None):
    """Points of an elliptic arc in glyph units (y up), angles in degrees."""
    if steps is None:
        steps = max(4, int(abs(a1 - a0) / 10))
    pts = []
    for k in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * k / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


# Stroke glyphs for the product name: centre lines in units of the capital
# height, x to the right, y up from the baseline, and the advance width.
STROKE_GLYPHS = {
    "Z": ([[(0.03, 1.0), (0.62, 1.0), (0.0, 0.0), (0.64, 0.0)]], 0.64),
    "a": ([arc(0.28, 0.33, 0.28, 0.33, 0, 360, 36), [(0.56, 0.66), (0.56, 0.0)]], 0.56),
    "r": ([[(0.0, 0.0), (0.0, 0.66)], arc(0.36, 0.28, 0.36, 0.38, 180, 92, 10)], 0.38),
    "B": (
        [
            [(0.3, 0.52), (0.0, 0.52), (0.0, 1.0), (0.3, 1.0)]
            + arc(0.3, 0.76, 0.24, 0.24, 90, -90),
            [(0.0, 0.52), (0.0, 0.0), (0.33, 0.0)] + arc(0.33, 0.26, 0.26, 0.26, -90, 90),
            [(0.3, 0.52), (0.33, 0.52)],
        ],
        0.59,
    ),
    "e": ([[(0.02, 0.34), (0.58, 0.34)] + arc(0.29, 0.33, 0.29, 0.33, 0, 318, 32)], 0.58),
    "l": ([[(0.0, 0.0), (0.0, 1.04)]], 0.0),
    "P": (
        [[(0.0, 0.0), (0.0, 1.0), (0.32, 1.0)] + arc(0.32, 0.75, 0.25, 0.25, 90, -90)
         + [(0.0, 0.5)]],
        0.57,
    ),
    "C": ([arc(0.39, 0.5, 0.39, 0.5, 48, 312, 30)], 0.76),
}


def stroke_text(text, left, baseline, size, weight, gap, slant):
    """Lays out text in the stroke glyphs: polylines in pixels and the right edge of the ink."""
    lines = []
    x = left + weight / 2.0
    for ch in text:
        strokes, advance = STROKE_GLYPHS[ch]
        for s in strokes:
            lines.append([(x + (gx + gy * slant) * size, baseline - gy * size) for gx, gy in s])
        x += advance * size + weight + gap
    return lines, x - gap - weight / 2.0


def stroke_text_width(text, size, weight, gap):
    _, right = stroke_text(text, 0.0, 0.0, size, weight, gap, 0.0)
    return right


# A 5 x 7 pixel font for small captions.
PIXEL_GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    " ": ["....."] * 7,
}


def pixel_text(mask, text, left, top, spacing):
    x = left
    for ch in text:
        for row, bits in enumerate(PIXEL_GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    px, py = x + col, top + row
                    mask.add(lambda sx, sy: True, (px, py, px + 1 - 1e-6, py + 1 - 1e-6))
        x += 5 + spacing
    return x - spacing


def pixel_text_width(text, spacing):
    return len(text) * (5 + spacing) - spacing


# ---------------------------------------------------------------------------
# Motifs


def note_shapes(x, y, size, kind):
    """A musical note whose head centre is at (x, y): kind "eighth" or "pair" (two beamed
    notes). Returns shapes (predicate, box) to add to a mask."""
    hr = size * 0.32  # head half-width
    tilt = -0.45
    stem_w = max(0.45, size * 0.07)
    shapes = []

    def one(hx, hy):
        shapes.append(ellipse(hx, hy, hr, hr * 0.72, tilt))
        sx = hx + hr * 0.86
        shapes.append(capsule(sx, hy - size * 0.1, sx, hy - size * 1.25, stem_w))
        return sx, hy - size * 1.25

    if kind == "eighth":
        sx, top = one(x, y)
        # the flag: a short swelling stroke falling to the right
        shapes.append(capsule(sx, top, sx + size * 0.35, top + size * 0.35, stem_w * 1.5))
        fx, fy = sx + size * 0.35, top + size * 0.35
        shapes.append(capsule(fx, fy, fx - size * 0.03, fy + size * 0.35, stem_w))
    else:
        dx = size * 0.95
        sx0, top0 = one(x, y)
        sx1, top1 = one(x + dx, y - size * 0.12)
        beam = size * 0.22
        shapes.append(
            polygon([(sx0 - stem_w, top0), (sx1 + stem_w, top1 - size * 0.12 - 0.01),
                     (sx1 + stem_w, top1 - size * 0.12 + beam), (sx0 - stem_w, top0 + beam)])
        )
    return shapes


def add_shapes(mask, shapes):
    for inside, box in shapes:
        mask.add(inside, box)
    return mask


def sparkle(cx, cy, r):
    """A four-pointed star."""
    k = r * 0.22
    return polygon([(cx, cy - r), (cx + k, cy - k), (cx + r, cy), (cx + k, cy + k),
                    (cx, cy + r), (cx - k, cy + k), (cx - r, cy), (cx - k, cy - k)])


class MicFrame:
    """Coordinates along a tilted microphone: u runs from the head's centre down the handle,
    v across it, both in units of the head's radius."""

    def __init__(self, cx, cy, radius, tilt_degrees):
        a = math.radians(tilt_degrees)
        self.cx, self.cy, self.s = cx, cy, radius
        self.dx, self.dy = -math.sin(a), math.cos(a)  # down the handle
        self.px, self.py = math.cos(a), math.sin(a)  # across

    def local(self, x, y):
        ex, ey = x - self.cx, y - self.cy
        return (ex * self.dx + ey * self.dy) / self.s, (ex * self.px + ey * self.py) / self.s

    def box(self, grow):
        # generous: the whole microphone lies within 3.4 radii of the head's centre
        r = 3.4 * self.s + grow
        return (self.cx - r, self.cy - r, self.cx + r, self.cy + r)


HANDLE_TOP, HANDLE_END = 1.22, 3.0
HANDLE_W_TOP, HANDLE_W_END = 0.5, 0.3
COLLAR_TOP, COLLAR_W = 0.78, 0.62


def handle_half_width(u):
    t = max(0.0, min(1.0, (u - HANDLE_TOP) / (HANDLE_END - HANDLE_TOP)))
    return HANDLE_W_TOP + (HANDLE_W_END - HANDLE_W_TOP) * t


def in_handle(u, v, g=0.0):
    if HANDLE_TOP - g <= u <= HANDLE_END and abs(v) <= handle_half_width(u) + g:
        return True
    return (u - HANDLE_END) ** 2 + v * v <= (HANDLE_W_END + g) ** 2


def in_collar(u, v, g=0.0):
    return COLLAR_TOP - g <= u <= HANDLE_TOP + 0.02 + g and abs(v) <= COLLAR_W + g


def in_head(u, v, g=0.0):
    return u * u + v * v <= (1.0 + g) ** 2


def mic_part(frame, part, grow=0.0):
    """Predicate in pixels of one part of the microphone, grown by `grow` pixels."""
    g = grow / frame.s
    return lambda x, y: part(*frame.local(x, y), g)


def mic_whole(frame, grow):
    parts = [mic_part(frame, p, grow) for p in (in_head, in_collar, in_handle)]
    return lambda x, y: any(p(x, y) for p in parts)


def draw_microphone(canvas, frame, outline_color, outline, mesh_pitch):
    light = (-0.55, -0.62, 0.56)
    ln = math.sqrt(sum(c * c for c in light))
    light = tuple(c / ln for c in light)

    # outline: the whole shape grown, drawn first
    if outline > 0:
        whole = canvas.mask().add(mic_whole(frame, outline), frame.box(outline))
        canvas.paint(whole, outline_color)

    # handle: a dark lacquered cylinder
    def handle_color(x, y):
        u, v = frame.local(x, y)
        t = max(-1.0, min(1.0, v / handle_half_width(u)))
        shade = 0.55 + 0.6 * math.sqrt(max(0.0, 1.0 - t * t)) - 0.25 * t
        c = scale_color((52, 48, 88), shade)
        if -0.62 < t < -0.3:  # the lacquer's highlight
            c = mix(c, (200, 195, 235), 0.55 * (1.0 - abs(t + 0.46) / 0.16))
        return c

    canvas.paint(canvas.mask().add(mic_part(frame, in_handle), frame.box(0)), handle_color)

    # collar: a gold ring between head and handle
    def collar_color(x, y):
        u, v = frame.local(x, y)
        t = v / COLLAR_W
        shade = 0.5 + 0.65 * math.sqrt(max(0.0, 1.0 - t * t)) - 0.3 * t
        c = scale_color((214, 160, 40), shade)
        if abs(u - (HANDLE_TOP - 0.12)) < 0.05:  # a groove
            c = scale_color(c, 0.7)
        return c

    canvas.paint(canvas.mask().add(mic_part(frame, in_collar), frame.box(0)), collar_color)

    # head: a shaded silver ball with a wire mesh
    def head_color(x, y):
        nx, ny = (x - frame.cx) / frame.s, (y - frame.cy) / frame.s
        nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
        lam = max(0.0, nx * light[0] + ny * light[1] + nz * light[2])
        c = scale_color((150, 156, 176), 0.42 + 0.78 * lam)
        if mesh_pitch > 0 and nz > 0.25:
            f1 = ((x + y) / mesh_pitch) % 1.0
            f2 = ((x - y) / mesh_pitch) % 1.0
            if f1 < 0.3 or f2 < 0.3:
                c = scale_color(c, 0.74)
        return mix(c, (255, 255, 255), lam**24)

    canvas.paint(canvas.mask().add(*disc(frame.cx, frame.cy, frame.s)), head_color)


# ---------------------------------------------------------------------------
# The three pictures


def draw_banner():
    """Bitmap 102: a microphone on the dialog's colour, 56 x 60."""
    cv = Canvas(56, 60, DIALOG_BACKGROUND)

    # a soft floor shadow under the handle's end
    cv.paint(cv.mask().add(*ellipse(17.0, 56.6, 9.0, 2.0)), (150, 150, 172), 0.55)

    # sound waves leaving the microphone
    for r_in, alpha in ((17.2, 0.85), (21.6, 0.6)):
        wave = cv.mask().add(*ring(33.5, 18.5, r_in, r_in + 1.7, -75, -10))
        cv.paint(wave, (120, 80, 190), alpha)

    # notes rising on the left
    cv.paint(add_shapes(cv.mask(), note_shapes(8.0, 27.0, 8.0, "eighth")), (96, 56, 160))
    cv.paint(add_shapes(cv.mask(), note_shapes(5.5, 44.0, 6.0, "pair")), (150, 100, 200), 0.8)
    cv.paint(cv.mask().add(*sparkle(19.0, 6.0, 3.2)), (255, 255, 255), 0.9)

    frame = MicFrame(33.5, 18.5, 12.5, 28.0)
    draw_microphone(cv, frame, (40, 30, 70), 1.0, 2.6)
    return cv


def draw_title():
    """Bitmap 103: the product's name as title art, 194 x 60."""
    w, h = 194, 60
    cv = Canvas(w, h, DIALOG_BACKGROUND)

    # the stage: a rounded panel with a violet gradient and a warm glow on the left
    panel = cv.mask().add(*round_rect(0.0, 0.0, w, h, 9.0))
    top, bottom = (76, 34, 140), (24, 12, 66)

    def panel_color(x, y):
        c = mix(top, bottom, y / h)
        d = math.hypot((x - 40.0) / 70.0, (y - 24.0) / 40.0)
        c = mix(c, (190, 60, 160), 0.55 * max(0.0, 1.0 - d) ** 1.5)
        d2 = math.hypot((x - 170.0) / 50.0, (y - 10.0) / 30.0)
        return mix(c, (70, 110, 210), 0.45 * max(0.0, 1.0 - d2) ** 1.5)

    cv.paint(panel, panel_color)
    border = cv.mask().add(*round_rect(0.0, 0.0, w, h, 9.0))
    border.cut(*round_rect(1.0, 1.0, w - 1.0, h - 1.0, 8.0))
    cv.paint(border, (150, 130, 210), 0.8)

    # notes and stars in the background
    faint = (220, 200, 255)
    cv.paint(add_shapes(cv.mask(), note_shapes(10.0, 50.0, 11.0, "eighth")), faint, 0.28)
    cv.paint(add_shapes(cv.mask(), note_shapes(164.0, 50.0, 9.0, "pair")), faint, 0.25)
    cv.paint(add_shapes(cv.mask(), note_shapes(179.0, 22.0, 8.0, "eighth")), faint, 0.35)
    for sx, sy, sr, a in ((12.0, 11.0, 3.0, 0.8), (186.0, 42.0, 2.4, 0.7), (150.0, 7.0, 2.0, 0.6),
                          (33.0, 54.0, 1.8, 0.5), (118.0, 54.0, 1.6, 0.5)):
        cv.paint(cv.mask().add(*sparkle(sx, sy, sr)), (255, 250, 230), a)

    # the name, sung halfway through like a karaoke lyric
    text, size, weight, gap, slant = "ZarBelPC", 24.0, 4.2, 2.6, 0.12
    width = stroke_text_width(text, size, weight, gap) + slant * size
    left = (w - width) / 2.0
    baseline = 36.0
    lines, _ = stroke_text(text, left, baseline, size, weight, gap, slant)

    outer = cv.mask()
    stroke(outer, lines, weight / 2.0 + 1.3)
    cv.paint(outer.shifted(int(1.5 * SS), int(1.75 * SS)), (10, 4, 30), 0.6)  # drop shadow
    cv.paint(outer, (28, 12, 58))  # outline
    ink = cv.mask()
    stroke(ink, lines, weight / 2.0)

    # where the singer has got to: the colour sweep stops inside the "e"
    sweep = left + (width * 0.56)
    cap_top = baseline - size

    def ink_color(x, y):
        t = (y - cap_top) / size
        if x < sweep:
            c = mix((255, 246, 150), (255, 150, 30), t)
        else:
            c = mix((255, 255, 255), (180, 196, 255), t)
        if abs(x - sweep) < 0.6:
            c = mix(c, (255, 120, 80), 0.5)
        return c

    cv.paint(ink, ink_color)
    # a glint along the top of the letters
    glint = cv.mask()
    stroke(glint, lines, weight / 2.0 - 1.4)
    glint.keep(cv.mask().add(lambda x, y: True, (0, cap_top - 3.0, w, cap_top + size * 0.28)))
    cv.paint(glint, (255, 255, 255), 0.35)

    # the lyric line under the name: a rule with the word KARAOKE in it
    label, spacing = "KARAOKE", 2
    lw = pixel_text_width(label, spacing)
    lx = int(round((w - lw) / 2.0))
    ly = 44
    shadow = cv.mask()
    pixel_text(shadow, label, lx + 1, ly + 1, spacing)
    cv.paint(shadow, (10, 4, 30), 0.7)
    lettering = cv.mask()
    pixel_text(lettering, label, lx, ly, spacing)
    cv.paint(lettering, (255, 214, 110))
    rule_y = ly + 3
    for x0, x1 in ((lx - 40.0, lx - 6.0), (lx + lw + 6.0, lx + lw + 40.0)):
        def rule_color(x, y, x0=x0, x1=x1):
            t = abs((x - x0) / (x1 - x0) - 0.5) * 2.0
            return mix((255, 214, 110), (120, 70, 170), t)
        rule = cv.mask().add(lambda x, y: True, (x0, rule_y, x1, rule_y + 1.0 - 1e-6))
        cv.paint(rule, rule_color)
        cv.paint(cv.mask().add(*disc(x1 if x0 < lx else x0, rule_y + 0.5, 1.3)), (255, 214, 110))
    return cv


# The icon's palette: what a microphone and a note need, with black for the
# transparent parts under the mask.
ICON_PALETTE = [
    (0, 0, 0), (40, 30, 70), (64, 58, 104), (100, 100, 112),
    (128, 128, 140), (164, 168, 184), (200, 204, 216), (236, 238, 244),
    (255, 255, 255), (120, 80, 190), (170, 130, 230), (150, 100, 20),
    (214, 160, 40), (255, 214, 110), (190, 60, 160), (24, 20, 40),
]


def draw_icon():
    """The setup icon: a microphone with a note, 32 x 32."""
    cv = Canvas(32, 32)
    note = add_shapes(cv.mask(), note_shapes(22.0, 27.2, 9.0, "eighth"))
    # outline the note by painting it shifted by one pixel each way
    for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
        cv.paint(note.shifted(dx * SS, dy * SS), (40, 30, 70))
    cv.paint(note, (255, 214, 110))
    frame = MicFrame(21.0, 9.2, 7.4, 36.0)
    draw_microphone(cv, frame, (24, 20, 40), 1.0, 0.0)
    return cv


# ---------------------------------------------------------------------------
# File formats


def bmp24(pixels):
    """A Windows bitmap file, 24 bits per pixel, rows bottom-up, each padded to 4 bytes."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + bytes(data)


def nearest(palette, c):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (p[0] - c[0]) ** 2 * 3 + (p[1] - c[1]) ** 2 * 4 + (p[2] - c[2]) ** 2 * 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def ico16(pixels, palette):
    """An icon file with one 32 x 32 image in 16 colours: header 40, palette 64,
    colour bits 512 and mask bits 128 bytes, 744 in all."""
    h = len(pixels)
    w = len(pixels[0])
    assert (w, h) == (32, 32) and len(palette) == 16
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        idx = []
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            opaque = a >= 0.5
            idx.append(nearest(palette, (r, g, b)) if opaque else 0)
            if not opaque:
                bits |= 1 << (31 - x)
        for k in range(0, w, 2):
            xor.append((idx[k] << 4) | idx[k + 1])
        mask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    image = info + pal + bytes(xor) + bytes(mask)
    assert len(image) == 744
    # one entry: 32 x 32, 16 colours, 1 plane, 4 bits, the image right after the directory
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    files = {
        "banner_mic.bmp": lambda: bmp24(draw_banner().pixels()),
        "title.bmp": lambda: bmp24(draw_title().pixels()),
        "setup.ico": lambda: ico16(draw_icon().pixels(), ICON_PALETTE),
    }
    for name, make in files.items():
        data = make()
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("%-15s %6d bytes" % (name, len(data)))


if __name__ == "__main__":
    main()
