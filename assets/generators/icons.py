#!/usr/bin/env python3
"""Draws the weather icon strip KMV3Weather: 49 icons of 52 x 52 stacked top to bottom, frame k
for weather condition code k (0..47) and frame 48 for "not available", written as an 8-bit
run-length encoded bitmap with one shared palette; and the same icons drawn at three times that
size, BandIcons, which the gadget band scales down to the screen's own resolution (3 covers the
band's scale on a 3840 x 2160 monitor, 2.8).

    icons.py [output-directory]    (default: assets/pictures)
"""

import os
import sys

import cairo
import numpy as np

import icons_parts as p
from bmp8 import quantize, write_bmp8

SIZE = 52
FRAMES = 49
BAND_SCALE = 3


# Compositions. Clouds that carry weather sit high (their base near y 27) so the weather falls
# into the lower third; skies without weather keep their symbol centred.

def rain_under(ctx, count=4, length=7.0):
    xs = np.linspace(17, 37, count)
    p.drops(ctx, [(x, 34 + (i % 2) * 4) for i, x in enumerate(xs)], length)


def snow_under(ctx, count=3, r=3.4):
    xs = np.linspace(17, 36, count)
    p.flakes(ctx, [(x, 37 + (i % 2) * 5, r) for i, x in enumerate(xs)])


def weather_cloud(ctx, tone="light"):
    p.cloud(ctx, 26, 21, 36, tone)


def sun_behind(ctx, small=False):
    """Sun to the upper left, partly hidden by a cloud drawn afterwards."""
    if small:
        p.sun(ctx, 17, 14, 6.5, rays=True, ray_len=3.2)
    else:
        p.sun(ctx, 19, 17, 9, rays=True, ray_len=4)


def moon_behind(ctx):
    p.moon(ctx, 19, 16, 9)
    p.stars(ctx, ((40, 9, 2.2), (8, 33, 1.6)))


def tornado(ctx):
    p.cloud(ctx, 26, 14, 30, "dark")
    p.funnel(ctx, 26, 24, 47)


def tropical_storm(ctx):
    p.spiral(ctx, 26, 26, 15, (176, 204, 238), 4.5)


def hurricane(ctx):
    p.spiral(ctx, 26, 26, 19, (242, 142, 92), 7.5)


def severe_thunderstorms(ctx):
    weather_cloud(ctx, "dark")
    p.bolt(ctx, 20, 28, 0.9)
    p.bolt(ctx, 33, 30, 0.75)
    p.drops(ctx, [(14, 36), (28, 42), (41, 35)], 5.5)


def thunderstorms(ctx):
    weather_cloud(ctx, "dark")
    p.bolt(ctx, 26, 28, 1.0)
    p.drops(ctx, [(16, 35), (38, 36)], 6)


def rain_and_snow(ctx):
    weather_cloud(ctx, "grey")
    p.drops(ctx, [(17, 34), (31, 36)], 7)
    p.flakes(ctx, [(25, 42, 3.3), (39, 40, 3.3)])


def rain_and_sleet(ctx):
    weather_cloud(ctx, "grey")
    p.drops(ctx, [(17, 34), (31, 34)], 7)
    p.pellets(ctx, [(22, 44), (36, 45), (41, 37)])


def snow_and_sleet(ctx):
    weather_cloud(ctx, "grey")
    p.flakes(ctx, [(17, 38, 3.3), (32, 41, 3.3)])
    p.pellets(ctx, [(25, 34), (24, 46), (40, 35)])


def freezing_drizzle(ctx):
    weather_cloud(ctx, "light")
    p.drops(ctx, [(16, 34), (24, 38), (32, 34)], 3.5, p.ICE)
    p.flake(ctx, 39, 42, 3.3)


def drizzle(ctx):
    weather_cloud(ctx, "light")
    p.drops(ctx, [(16, 34), (24, 38), (32, 34), (40, 38), (20, 44), (36, 44)], 3.5)


def freezing_rain(ctx):
    weather_cloud(ctx, "grey")
    p.drops(ctx, [(16, 34), (25, 37), (34, 34)], 7, p.ICE)
    p.flake(ctx, 40, 42, 3.3)


def showers(ctx):
    weather_cloud(ctx, "grey")
    rain_under(ctx, 4, 8.0)


def snow_flurries(ctx):
    weather_cloud(ctx, "light")
    p.flakes(ctx, [(19, 38, 2.8), (33, 42, 2.8)])


def light_snow_showers(ctx):
    weather_cloud(ctx, "light")
    snow_under(ctx, 3, 3.0)


def blowing_snow(ctx):
    p.wind(ctx, ((6, 18, 34, 5), (10, 27, 44, 0), (4, 36, 28, 4)))
    p.flakes(ctx, [(41, 16, 3.3), (38, 38, 3.3), (16, 45, 2.8)])


def snow(ctx):
    weather_cloud(ctx, "grey")
    p.flakes(ctx, [(16, 36, 3.4), (28, 41, 3.4), (40, 36, 3.4), (22, 47, 2.6), (35, 48, 2.6)])


def hail(ctx):
    weather_cloud(ctx, "grey")
    p.hail(ctx, [(17, 37), (28, 41), (39, 36), (22, 47), (34, 48)])


def sleet(ctx):
    weather_cloud(ctx, "grey")
    p.pellets(ctx, [(16, 35), (24, 40), (32, 35), (40, 40), (20, 46), (28, 47), (37, 46)], 1.8)


def dust(ctx):
    p.sun(ctx, 34, 16, 7, rays=False)
    for i, y in enumerate((25, 32, 39)):
        p.wavy(ctx, 8 + 3 * i, 44 - 2 * i, y, 1.6, p.DUST, dash=[2.5, 3.2])


def foggy(ctx):
    p.cloud(ctx, 26, 17, 32, "grey")
    p.bands(ctx, ((9, 30, 43), (13, 36, 39), (8, 42, 36), (20, 42, 44)))


def haze(ctx):
    p.sun(ctx, 26, 20, 9, rays=True, ray_len=3.5)
    p.bands(ctx, ((8, 32, 44), (12, 38, 40), (16, 44, 36)), p.FOG, alpha=0.9)


def smoky(ctx):
    for i, (x, colour) in enumerate(((18, (120, 122, 132)), (27, p.SMOKE), (36, (178, 180, 188)))):
        ctx.set_line_width(p.LINE + 1.2 - i * 0.4)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        p.rgb(ctx, colour)
        ctx.move_to(x, 46)
        ctx.curve_to(x - 8, 36, x + 8, 26, x - 2, 10 + i * 2)
        ctx.stroke()


def blustery(ctx):
    p.cloud(ctx, 29, 16, 30, "light")
    p.wind(ctx, ((4, 31, 36, 0), (10, 38, 42, 4), (6, 45, 28, 3)))


def windy(ctx):
    p.wind(ctx, ((6, 17, 36, 6), (4, 26, 44, 0), (8, 35, 30, 5), (14, 44, 40, 0)))


def cold(ctx):
    p.thermometer(ctx, 18, 8, 40, p.COLD, 0.25)
    p.flake(ctx, 37, 22, 7.5)


def cloudy(ctx):
    p.cloud(ctx, 32, 20, 28, "grey")
    p.cloud(ctx, 23, 28, 36, "light")


def mostly_cloudy_night(ctx):
    moon_behind(ctx)
    p.cloud(ctx, 29, 27, 38, "grey")


def mostly_cloudy_day(ctx):
    sun_behind(ctx)
    p.cloud(ctx, 29, 27, 38, "light")


def partly_cloudy_night(ctx):
    p.moon(ctx, 22, 20, 12)
    p.stars(ctx, ((42, 10, 2.4), (9, 40, 1.7), (44, 24, 1.5)))
    p.cloud(ctx, 33, 34, 26, "grey")


def partly_cloudy_day(ctx):
    p.sun(ctx, 22, 20, 10, rays=True, ray_len=4.5)
    p.cloud(ctx, 33, 34, 26, "light")


def clear_night(ctx):
    p.moon(ctx, 25, 27, 14)
    p.stars(ctx, ((42, 11, 2.8), (10, 12, 1.8), (44, 36, 1.8), (33, 7, 1.4)))


def sunny(ctx):
    p.sun(ctx, 26, 26, 11, rays=True, ray_len=6)


def fair_night(ctx):
    p.moon(ctx, 25, 25, 12)
    p.stars(ctx, ((41, 13, 2.2),))
    p.bands(ctx, ((12, 43, 40),), (120, 130, 154), width=1.6)


def fair_day(ctx):
    p.sun(ctx, 26, 24, 10, rays=True, ray_len=4.5)
    p.bands(ctx, ((12, 44, 40),), (150, 160, 184), width=1.6)


def rain_and_hail(ctx):
    weather_cloud(ctx, "grey")
    p.drops(ctx, [(16, 34), (30, 36)], 7)
    p.hail(ctx, [(23, 45), (38, 43)])


def hot(ctx):
    p.sun(ctx, 36, 17, 7.5, rays=True, ray_len=3.5)
    p.thermometer(ctx, 18, 8, 40, p.HOT, 0.85)


def isolated_thunderstorms(ctx):
    sun_behind(ctx, small=True)
    weather_cloud(ctx, "grey")
    p.bolt(ctx, 27, 28, 0.95)


def scattered_thunderstorms(ctx):
    sun_behind(ctx, small=True)
    weather_cloud(ctx, "dark")
    p.bolt(ctx, 22, 28, 0.9)
    p.drops(ctx, [(34, 35), (40, 40)], 6)


def scattered_showers(ctx):
    sun_behind(ctx, small=True)
    weather_cloud(ctx, "light")
    p.drops(ctx, [(20, 35), (30, 38)], 7)


def heavy_snow(ctx):
    weather_cloud(ctx, "dark")
    p.flakes(ctx, [(14, 35, 3.4), (26, 38, 3.4), (38, 35, 3.4),
                   (19, 45, 3.4), (32, 47, 3.4), (44, 44, 2.6), (8, 45, 2.6)])


def scattered_snow_showers(ctx):
    sun_behind(ctx, small=True)
    weather_cloud(ctx, "light")
    p.flakes(ctx, [(21, 38, 3.2), (33, 42, 3.2)])


def thundershowers(ctx):
    weather_cloud(ctx, "grey")
    p.bolt(ctx, 25, 28, 0.95)
    rain_under(ctx, 3, 7.0)


def snow_showers(ctx):
    weather_cloud(ctx, "grey")
    snow_under(ctx, 4, 3.2)


def isolated_thundershowers(ctx):
    sun_behind(ctx, small=True)
    weather_cloud(ctx, "grey")
    p.bolt(ctx, 22, 28, 0.85)
    p.drops(ctx, [(33, 35), (40, 39)], 6)


def not_available(ctx):
    p.cloud(ctx, 26, 22, 36, "muted")
    ctx.select_font_face("Liberation Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(11)
    text = "N/A"
    ext = ctx.text_extents(text)
    ctx.move_to(26 - ext.width / 2 - ext.x_bearing, 42)
    p.rgb(ctx, (176, 184, 204))
    ctx.show_text(text)


CATALOGUE = [
    tornado, tropical_storm, hurricane, severe_thunderstorms, thunderstorms,      # 0-4
    rain_and_snow, rain_and_sleet, snow_and_sleet, freezing_drizzle, drizzle,    # 5-9
    freezing_rain, showers, showers, snow_flurries, light_snow_showers,          # 10-14
    blowing_snow, snow, hail, sleet, dust,                                       # 15-19
    foggy, haze, smoky, blustery, windy,                                         # 20-24
    cold, cloudy, mostly_cloudy_night, mostly_cloudy_day, partly_cloudy_night,   # 25-29
    partly_cloudy_day, clear_night, sunny, fair_night, fair_day,                 # 30-34
    rain_and_hail, hot, isolated_thunderstorms, scattered_thunderstorms,         # 35-38
    scattered_thunderstorms, scattered_showers, heavy_snow,                      # 39-41
    scattered_snow_showers, heavy_snow, partly_cloudy_day, thundershowers,       # 42-45
    snow_showers, isolated_thundershowers, not_available,                        # 46-48
]


def render_icon(draw, scale=1):
    size = SIZE * scale
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, size, size)
    ctx = cairo.Context(surface)
    if scale != 1:
        ctx.scale(scale, scale)
    p.background(ctx)
    draw(ctx)
    surface.flush()
    buf = np.frombuffer(surface.get_data(), dtype=np.uint8).reshape(size, surface.get_stride() // 4, 4)
    return buf[:, :size, 2::-1].copy()  # BGRx in memory -> RGB


def render_strip(scale=1):
    assert len(CATALOGUE) == FRAMES
    return np.concatenate([render_icon(draw, scale) for draw in CATALOGUE], axis=0)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "pictures")
    for name, scale in (("KMV3Weather", 1), ("BandIcons", BAND_SCALE)):
        indices, palette = quantize(render_strip(scale), 256)
        write_bmp8(os.path.join(out_dir, name + ".bmp"), indices, palette, rle=True)


if __name__ == "__main__":
    main()
