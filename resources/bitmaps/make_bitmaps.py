#!/usr/bin/env python3
"""Draws the background pictures of every window as 24-bit BMP files, the program's icon
(quorvane.ico) for the program and its installer, and the icons that show the state in the
notification area (tray_*.ico, with high-contrast variants *_hc.ico) and as a badge on the
taskbar button (badge_*.ico).

Run from anywhere: python3 resources/bitmaps/make_bitmaps.py. The results are committed,
so a build needs nothing but the .bmp and .ico files. Only the standard library is used.
"""
import math
import os
import random
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 at the top."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((clamp(b), clamp(g), clamp(r)))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + data)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def smooth(t):
    t = max(0.0, min(1.0, t))
    return t * t * (3 - 2 * t)


def vertical(top, bottom, height, sheen=0.0):
    """A top-to-bottom gradient with an optional soft highlight along the top edge."""

    def pixel(x, y):
        t = y / max(1, height - 1)
        c = mix(top, bottom, smooth(t))
        if sheen:
            glow = sheen * math.exp(-y / (height * 0.18))
            c = mix(c, (255, 255, 255), glow)
        return c

    return pixel


def diagonal(a, b, width, height, waves=0.0):
    """A gradient from the top left to the bottom right with faint diagonal bands."""

    def pixel(x, y):
        t = (x / max(1, width - 1) * 0.35 + y / max(1, height - 1) * 0.65)
        if waves:
            t += waves * math.sin((x + y * 1.7) / 23.0)
        return mix(a, b, t)

    return pixel


def popup(top, bottom, edge, height, sheen=0.3):
    """A note: soft gradient, a light sheen at the top and a darker rim at the bottom."""
    base = vertical(top, bottom, height, sheen)

    def pixel(x, y):
        c = base(x, y)
        if y >= height - 2:
            c = mix(c, edge, 0.6)
        return c

    return pixel


def about(width, height):
    """Near black with a faint star field and a glowing ring with a tail: the program's
    mark, a 'Q' watching over the conversations."""
    rng = random.Random(7)
    stars = {}
    for _ in range(140):
        sx, sy = rng.randrange(width), rng.randrange(height)
        stars[(sx, sy)] = rng.uniform(0.15, 0.6)
    cx, cy, radius, thickness = width / 2, 52, 30, 6.5
    ring = (176, 168, 255)
    base_top, base_bottom = (26, 24, 38), (8, 8, 12)

    def pixel(x, y):
        c = mix(base_top, base_bottom, y / (height - 1))
        if (x, y) in stars:
            c = mix(c, (220, 220, 255), stars[(x, y)])
        d = math.hypot(x - cx, y - cy)
        # glow around the ring
        glow = math.exp(-((d - radius) ** 2) / 120.0) * 0.35
        c = mix(c, ring, glow)
        # the ring itself, anti-aliased
        cover = max(0.0, min(1.0, thickness / 2 - abs(d - radius) + 0.5))
        # the tail: a short stroke to the lower right
        tx, ty = x - (cx + 14), y - (cy + 14)
        along = (tx + ty) / math.sqrt(2)
        across = abs(tx - ty) / math.sqrt(2)
        if -4 <= along <= 22:
            cover = max(cover, max(0.0, min(1.0, thickness / 2 - across + 0.5)))
        c = mix(c, (232, 228, 255), cover)
        # a thin line under the mark
        if abs(y - 96) < 0.6 and 40 <= x <= width - 40:
            fade = 1 - abs(x - width / 2) / (width / 2 - 40)
            c = mix(c, ring, 0.7 * fade)
        return c

    return pixel


PICTURES = [
    # name, width, height, picture
    ("main.bmp", 241, 1, lambda: (lambda x, y: mix((232, 232, 254), (204, 204, 254), x / 240))),
    ("members.bmp", 235, 294, lambda: diagonal((92, 70, 190), (38, 22, 104), 235, 294, 0.03)),
    ("user_id.bmp", 310, 104, lambda: vertical((214, 230, 255), (128, 166, 232), 104, 0.2)),
    ("group_info.bmp", 285, 210, lambda: diagonal((30, 42, 110), (10, 16, 58), 285, 210, 0.02)),
    ("message_log.bmp", 237, 253, lambda: vertical((216, 244, 212), (156, 214, 150), 253, 0.2)),
    ("groups.bmp", 122, 294, lambda: diagonal((92, 70, 190), (38, 22, 104), 122, 294, 0.03)),
    ("config.bmp", 201, 303, lambda: vertical((255, 251, 214), (248, 226, 130), 303, 0.2)),
    ("note_info.bmp", 274, 61, lambda: popup((196, 242, 188), (132, 210, 124), (70, 140, 64), 61)),
    ("note_error.bmp", 274, 61, lambda: popup((255, 178, 170), (236, 112, 100), (150, 40, 30), 61)),
    ("note_caution.bmp", 274, 61, lambda: popup((255, 228, 150), (250, 180, 70), (170, 100, 20), 61)),
    ("note_message.bmp", 274, 61, lambda: popup((40, 64, 140), (14, 24, 72), (4, 8, 30), 61, 0.1)),
    ("about.bmp", 273, 348, lambda: about(273, 348)),
]


def icon_mark(u, v):
    """The program's mark at a point of the unit square: (r, g, b, alpha 0..1).

    A rounded indigo tile with the glowing 'Q' of the About box: a ring with a short tail
    to the lower right."""
    inset, corner = 0.04, 0.22
    # distance outside the rounded square (negative inside)
    qx = max(abs(u - 0.5) - (0.5 - inset - corner), 0.0)
    qy = max(abs(v - 0.5) - (0.5 - inset - corner), 0.0)
    if math.hypot(qx, qy) > corner:
        return (0, 0, 0, 0.0)
    c = mix((84, 68, 186), (22, 18, 58), smooth(v * 0.9 + u * 0.1))
    cx, cy, radius, half = 0.47, 0.46, 0.25, 0.065
    d = math.hypot(u - cx, v - cy)
    c = mix(c, (176, 168, 255), math.exp(-((d - radius) ** 2) / 0.004) * 0.45)
    on_mark = abs(d - radius) <= half
    tx, ty = u - (cx + 0.13), v - (cy + 0.13)
    along = (tx + ty) / math.sqrt(2)
    across = abs(tx - ty) / math.sqrt(2)
    if -0.02 <= along <= 0.2 and across <= half:
        on_mark = True
    if on_mark:
        c = (238, 234, 255)
    return (c[0], c[1], c[2], 1.0)


def icon_image(size, samples=4, mark=icon_mark):
    """Rows of (r, g, b, a) from the top, each pixel averaged over samples x samples."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = mark((x + (sx + 0.5) / samples) / size,
                                      (y + (sy + 0.5) / samples) / size)
                    acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], alpha * 255))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_bmp_entry(rows):
    """An icon directory entry's image as a 32-bit DIB with its AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_row = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom-up
        bits = bytearray(mask_row)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((clamp(b), clamp(g), clamp(r), clamp(a)))
            if clamp(a) == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + mask


def icon_png_entry(rows):
    """A PNG image (RGBA), as large icons are stored."""
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((clamp(r), clamp(g), clamp(b), clamp(a)))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]  # 256 as PNG, the smaller ones as bitmaps
# The small icon at 100, 125, 150 and 200 %: the notification area and the taskbar badge.
SMALL_ICON_SIZES = [16, 20, 24, 32]


# The state icons are drawn from shapes given by their signed distance (negative inside,
# in units of the icon's side): a fill with an outline of its own, which keeps each shape
# apart from what lies under it and readable on a light or a dark taskbar.

def ring_q(u, v, half):
    """The program's 'Q': a ring with a short tail to the lower right."""
    cx, cy, radius = 0.47, 0.46, 0.25
    ring = abs(math.hypot(u - cx, v - cy) - radius) - half
    tx, ty = u - (cx + 0.13), v - (cy + 0.13)
    along = max(-0.02, min(0.2, (tx + ty) / math.sqrt(2)))
    px, py = tx - along / math.sqrt(2), ty - along / math.sqrt(2)
    return min(ring, math.hypot(px, py) - half)


def disc(u, v, cx, cy, r):
    return math.hypot(u - cx, v - cy) - r


def crescent(u, v, cx, cy, r):
    """A waning moon: the disc without a smaller one shifted to the upper right."""
    return max(disc(u, v, cx, cy, r), -disc(u, v, cx + 0.55 * r, cy - 0.45 * r, 0.62 * r))


def tile(u, v):
    """The rounded square of the program's icon."""
    inset, corner = 0.04, 0.22
    qx = abs(u - 0.5) - (0.5 - inset - corner)
    qy = abs(v - 0.5) - (0.5 - inset - corner)
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - corner


def outlined(d, fill, outline, width):
    """(r, g, b, alpha) of a shape at signed distance d, or None outside it."""
    if d > 0:
        return None
    c = outline if d > -width else fill
    return (c[0], c[1], c[2], 1.0)


ON_GUARD = ((64, 210, 80), (10, 60, 20))       # green with a dark rim
BY_ITSELF = ((255, 184, 40), (90, 50, 0))      # amber with a dark rim
HIGH_CONTRAST = ((0, 0, 0), (255, 255, 255))   # black with a white rim
BADGES = {"on_guard": lambda u, v, r: disc(u, v, 0.74, 0.74, r),
          "by_itself": lambda u, v, r: crescent(u, v, 0.74, 0.74, r)}


def greyed(mark):
    """The mark in greys, dimmed: autoresponse is off."""

    def pixel(u, v):
        r, g, b, a = mark(u, v)
        grey = 0.3 * r + 0.59 * g + 0.11 * b
        return (grey * 0.8 + 30, grey * 0.8 + 30, grey * 0.8 + 34, a)

    return pixel


def with_badge(mark, badge, colours, radius=0.27, clear=None):
    """The mark with the state's badge over its lower right corner, on a disc of the clear
    colour if given, so that no part of the mark shows through the badge's shape."""

    def pixel(u, v):
        drawn = outlined(BADGES[badge](u, v, radius), colours[0], colours[1], 0.075)
        if not drawn and clear and disc(u, v, 0.74, 0.74, radius) <= 0 and tile(u, v) <= -0.08:
            drawn = clear + (1.0,)
        return drawn or mark(u, v)

    return pixel


def high_contrast_q(u, v):
    """A white tile with a black rim and a black 'Q': two tones on any background."""
    if ring_q(u, v, 0.07) <= 0 and tile(u, v) <= -0.08:
        return (0, 0, 0, 1.0)
    return outlined(tile(u, v), (255, 255, 255), (0, 0, 0), 0.08) or (0, 0, 0, 0.0)


def badge_alone(badge, colours):
    """The taskbar button's badge: the state's shape filling the icon."""

    def pixel(u, v):
        d = BADGES[badge](u + 0.24, v + 0.24, 0.46)
        return outlined(d, colours[0], colours[1], 0.09) or (0, 0, 0, 0.0)

    return pixel


STATE_ICONS = [
    # name, mark
    ("tray_inactive.ico", greyed(icon_mark)),
    ("tray_on_guard.ico", with_badge(icon_mark, "on_guard", ON_GUARD)),
    ("tray_by_itself.ico", with_badge(icon_mark, "by_itself", BY_ITSELF)),
    ("tray_inactive_hc.ico", high_contrast_q),
    ("tray_on_guard_hc.ico", with_badge(high_contrast_q, "on_guard", HIGH_CONTRAST)),
    ("tray_by_itself_hc.ico",
     with_badge(high_contrast_q, "by_itself", HIGH_CONTRAST, clear=(255, 255, 255))),
    ("badge_on_guard.ico", badge_alone("on_guard", ON_GUARD)),
    ("badge_by_itself.ico", badge_alone("by_itself", BY_ITSELF)),
]


def write_ico(name, mark=icon_mark, sizes=ICON_SIZES):
    images = []
    for size in sizes:
        rows = icon_image(size, 4 if size < 256 else 2, mark)
        images.append((size, icon_png_entry(rows) if size >= 256 else icon_bmp_entry(rows)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        dim = size if size < 256 else 0
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for _, image in images:
        data += image
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    for name, width, height, make in PICTURES:
        write_bmp(name, width, height, make())
        print(name, width, "x", height)
    write_ico("quorvane.ico")
    print("quorvane.ico", ", ".join(str(s) for s in ICON_SIZES))
    for name, mark in STATE_ICONS:
        write_ico(name, mark, SMALL_ICON_SIZES)
        print(name, ", ".join(str(s) for s in SMALL_ICON_SIZES))
