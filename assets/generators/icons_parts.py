"""Drawing parts of the weather icon family: sun, moon, stars, clouds, rain, snow, sleet, hail,
bolts, wind, fog, haze, smoke, dust, funnel, storm spiral and thermometer. Every part takes a
cairo context and a position in icon pixels (52 x 52); all share one light (from the upper left),
one palette and one line weight, so the icons read as one family.
"""

import math

import cairo

from paint import gradient as linear, set_rgb as rgb

LINE = 2.0  # the family's stroke width in pixels

SUN_CORE = (255, 236, 160)
SUN_EDGE = (247, 176, 64)
SUN_RAY = (250, 198, 96)
MOON_LIT = (242, 236, 214)
MOON_SHADE = (196, 190, 170)
STAR = (250, 238, 196)
RAIN = (116, 182, 244)
SNOW = (238, 245, 255)
ICE = (200, 226, 250)
BOLT = (255, 212, 84)
BOLT_EDGE = (204, 132, 36)
WIND = (198, 212, 230)
FOG = (172, 182, 198)
DUST = (214, 180, 124)
SMOKE = (150, 152, 160)
HOT = (238, 94, 62)
COLD = (104, 168, 244)
CLOUD_TONES = {  # top and bottom of the cloud's gradient
    "light": ((246, 247, 252), (186, 196, 216)),
    "grey": ((204, 210, 224), (134, 144, 166)),
    "dark": ((140, 146, 166), (72, 78, 100)),
    "muted": ((84, 92, 116), (56, 62, 84)),
}
BACK_TOP = (36, 37, 64)
BACK_BOTTOM = (16, 15, 30)


def background(ctx):
    ctx.set_source(linear(0, 0, 0, 52, ((0, BACK_TOP), (1, BACK_BOTTOM))))
    ctx.paint()


def glow(ctx, cx, cy, r, colour, strength):
    grad = cairo.RadialGradient(cx, cy, 0, cx, cy, r)
    grad.add_color_stop_rgba(0, colour[0] / 255, colour[1] / 255, colour[2] / 255, strength)
    grad.add_color_stop_rgba(1, colour[0] / 255, colour[1] / 255, colour[2] / 255, 0)
    ctx.set_source(grad)
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.fill()


def sun(ctx, cx, cy, r, rays=True, ray_len=None):
    glow(ctx, cx, cy, r * 2.3, SUN_EDGE, 0.28)
    if rays:
        ray_len = ray_len or r * 0.55
        ctx.set_line_width(LINE)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        rgb(ctx, SUN_RAY)
        for i in range(8):
            a = i * math.pi / 4 + math.pi / 8
            ctx.move_to(cx + math.cos(a) * (r + 3), cy + math.sin(a) * (r + 3))
            ctx.line_to(cx + math.cos(a) * (r + 3 + ray_len), cy + math.sin(a) * (r + 3 + ray_len))
            ctx.stroke()
    grad = cairo.RadialGradient(cx - r * 0.35, cy - r * 0.35, r * 0.1, cx, cy, r)
    grad.add_color_stop_rgb(0, *(c / 255 for c in SUN_CORE))
    grad.add_color_stop_rgb(1, *(c / 255 for c in SUN_EDGE))
    ctx.set_source(grad)
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.fill()


def moon(ctx, cx, cy, r):
    glow(ctx, cx, cy, r * 2.0, MOON_LIT, 0.16)
    ctx.push_group()
    grad = cairo.RadialGradient(cx - r * 0.4, cy - r * 0.4, r * 0.1, cx, cy, r)
    grad.add_color_stop_rgb(0, *(c / 255 for c in MOON_LIT))
    grad.add_color_stop_rgb(1, *(c / 255 for c in MOON_SHADE))
    ctx.set_source(grad)
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    ctx.arc(cx + r * 0.62, cy - r * 0.38, r * 0.86, 0, 2 * math.pi)
    ctx.fill()
    ctx.pop_group_to_source()
    ctx.paint()


def star(ctx, x, y, size):
    rgb(ctx, STAR)
    ctx.move_to(x, y - size)
    for i in range(1, 8):
        a = -math.pi / 2 + i * math.pi / 4
        rad = size if i % 2 == 0 else size * 0.3
        ctx.line_to(x + math.cos(a) * rad, y + math.sin(a) * rad)
    ctx.close_path()
    ctx.fill()


def stars(ctx, points):
    for x, y, size in points:
        star(ctx, x, y, size)


def cloud_path(ctx, cx, cy, w):
    """A cumulus outline as a union of bumps over a flat, rounded base; (cx, cy) is the middle of
    the base line's height band, w the width."""
    s = w / 36.0
    base_y = cy + 6 * s
    bumps = ((-10, 0, 7), (-2, -5, 9.5), (9, -1, 7.5))
    for dx, dy, r in bumps:
        ctx.new_sub_path()
        ctx.arc(cx + dx * s, cy + dy * s, r * s, 0, 2 * math.pi)
    left, right = cx - 17 * s, cx + 17 * s
    h = 6 * s
    ctx.new_sub_path()
    ctx.arc(left + h, base_y - h, h, math.pi / 2, 3 * math.pi / 2)
    ctx.arc(right - h, base_y - h, h, -math.pi / 2, math.pi / 2)
    ctx.close_path()
    return cy - 15 * s, base_y


def cloud(ctx, cx, cy, w, tone="light"):
    top, bottom = CLOUD_TONES[tone]
    # A faint dark rim separates a cloud from whatever lies behind it (sun, moon, other cloud).
    ctx.save()
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    cloud_path(ctx, cx, cy, w)
    ctx.set_source_rgba(BACK_BOTTOM[0] / 255, BACK_BOTTOM[1] / 255, BACK_BOTTOM[2] / 255, 0.85)
    ctx.set_line_width(LINE * 1.5)
    ctx.stroke()
    y_top, y_base = cloud_path(ctx, cx, cy, w)
    ctx.set_source(linear(0, y_top, 0, y_base, ((0, top), (1, bottom))))
    ctx.fill()
    ctx.restore()


def drops(ctx, points, length=6.0, colour=RAIN, width=LINE):
    ctx.set_line_width(width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rgb(ctx, colour)
    for x, y in points:
        ctx.move_to(x, y)
        ctx.line_to(x - length * 0.35, y + length)
        ctx.stroke()


def flake(ctx, x, y, r, colour=SNOW):
    ctx.set_line_width(1.4)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rgb(ctx, colour)
    for i in range(3):
        a = i * math.pi / 3 + math.pi / 2
        ctx.move_to(x - math.cos(a) * r, y - math.sin(a) * r)
        ctx.line_to(x + math.cos(a) * r, y + math.sin(a) * r)
        ctx.stroke()
    ctx.arc(x, y, 1.1, 0, 2 * math.pi)
    ctx.fill()


def flakes(ctx, points):
    for x, y, r in points:
        flake(ctx, x, y, r)


def pellets(ctx, points, r=1.6, colour=ICE):
    rgb(ctx, colour)
    for x, y in points:
        ctx.arc(x, y, r, 0, 2 * math.pi)
        ctx.fill()


def hail(ctx, points, r=2.6):
    for x, y in points:
        grad = cairo.RadialGradient(x - r * 0.4, y - r * 0.4, 0.2, x, y, r)
        grad.add_color_stop_rgb(0, 1, 1, 1)
        grad.add_color_stop_rgb(1, *(c / 255 for c in ICE))
        ctx.set_source(grad)
        ctx.arc(x, y, r, 0, 2 * math.pi)
        ctx.fill()


def bolt(ctx, x, y, scale=1.0):
    """A lightning bolt whose upper tip is at (x, y)."""
    pts = ((0, 0), (-5, 10), (-1, 10), (-4, 19), (6, 6), (1.5, 6), (4, 0))
    ctx.move_to(x + pts[0][0] * scale, y + pts[0][1] * scale)
    for px, py in pts[1:]:
        ctx.line_to(x + px * scale, y + py * scale)
    ctx.close_path()
    ctx.set_source(linear(x, y, x, y + 19 * scale, ((0, (255, 236, 150)), (1, BOLT))))
    ctx.fill_preserve()
    rgb(ctx, BOLT_EDGE)
    ctx.set_line_width(1.0)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


def wind(ctx, lines, colour=WIND):
    """Wind strokes: each line (x0, y, x1, curl) runs left to right and ends in a curl of the
    given radius (0 for none), curling upward."""
    ctx.set_line_width(LINE)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rgb(ctx, colour)
    for x0, y, x1, curl in lines:
        ctx.move_to(x0, y)
        ctx.line_to(x1, y)
        if curl:
            ctx.arc_negative(x1, y - curl, curl, math.pi / 2, -math.pi * 0.9)
        ctx.stroke()


def bands(ctx, lines, colour=FOG, width=LINE + 0.5, alpha=1.0):
    ctx.set_line_width(width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rgb(ctx, colour, alpha)
    for x0, y, x1 in lines:
        ctx.move_to(x0, y)
        ctx.line_to(x1, y)
        ctx.stroke()


def wavy(ctx, x0, x1, y, amp, colour, dash=None, width=LINE):
    ctx.set_line_width(width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rgb(ctx, colour)
    if dash:
        ctx.set_dash(dash)
    ctx.move_to(x0, y)
    steps = 24
    for i in range(1, steps + 1):
        x = x0 + (x1 - x0) * i / steps
        ctx.line_to(x, y + amp * math.sin((x - x0) / 5.0))
    ctx.stroke()
    ctx.set_dash([])


def funnel(ctx, cx, top, bottom):
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    rows = 7
    for i in range(rows):
        f = i / (rows - 1)
        y = top + (bottom - top) * f
        half = 17 * (1 - f) ** 1.3 + 2
        shift = 4 * math.sin(f * 3.0)
        grey = 210 - int(70 * f)
        rgb(ctx, (grey, grey + 4, grey + 14))
        ctx.set_line_width(LINE + 0.6 - f)
        ctx.move_to(cx + shift - half, y)
        ctx.line_to(cx + shift + half, y)
        ctx.stroke()


def spiral(ctx, cx, cy, r, colour, arm_width):
    """The storm symbol: a ringed eye with two arms that sweep out and taper to a point."""
    eye = r * 0.34
    steps = 24
    sweep = math.pi * 0.95
    for turn in (0.0, math.pi):
        outer, inner = [], []
        for i in range(steps + 1):
            f = i / steps
            a = turn - math.pi / 2 + f * sweep
            rad = eye + (r - eye) * f
            half = arm_width * (1 - f) ** 0.8 / 2
            outer.append((cx + math.cos(a) * (rad + half), cy + math.sin(a) * (rad + half)))
            inner.append((cx + math.cos(a) * (rad - half), cy + math.sin(a) * (rad - half)))
        ctx.move_to(*outer[0])
        for pt in outer[1:] + inner[::-1]:
            ctx.line_to(*pt)
        ctx.close_path()
        rgb(ctx, colour)
        ctx.fill()
    ctx.arc(cx, cy, eye, 0, 2 * math.pi)
    ctx.set_line_width(arm_width * 0.55)
    rgb(ctx, colour)
    ctx.stroke()


def thermometer(ctx, x, top, bottom, colour, level):
    """A thermometer whose tube runs from `top` to the bulb at `bottom`; `level` 0..1 fills it."""
    tube = 3.2
    bulb = 5.5
    ctx.set_line_width(1.6)
    rgb(ctx, (226, 230, 240))
    ctx.arc(x, top + tube, tube, math.pi, 0)
    ctx.line_to(x + tube, bottom - bulb * 0.8)
    ctx.arc(x, bottom, bulb, -math.pi / 2 + 0.6, -math.pi / 2 - 0.6 + 2 * math.pi)
    ctx.line_to(x - tube, top + tube)
    ctx.close_path()
    ctx.stroke()
    rgb(ctx, colour)
    ctx.arc(x, bottom, bulb - 2.2, 0, 2 * math.pi)
    ctx.fill()
    fill_top = bottom - (bottom - top - tube) * level
    ctx.rectangle(x - 1.2, fill_top, 2.4, bottom - fill_top)
    ctx.fill()
    rgb(ctx, (226, 230, 240))
    ctx.set_line_width(1.0)
    for i in range(4):
        ty = top + 5 + i * (bottom - top - 12) / 4
        ctx.move_to(x + tube + 1.5, ty)
        ctx.line_to(x + tube + 4, ty)
        ctx.stroke()
