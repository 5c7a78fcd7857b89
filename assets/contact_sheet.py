#!/usr/bin/env python3
"""Lays every built-in picture out on one labelled PNG for review: the background, three frames
of each scenery strip, the surround (the still sides with the frame between them, the sky above
it, three frames of each surround strip), twelve headings of both flyers and the flyers at their
four drawn sizes keyed over the sky by the sun and over the sea, the 49 weather icons and some of
the band's large ones, the band's glass, the gadget panels (the plates keyed over the glass and
over the solid panel, as the back buffer shows them) and the dialog pictures. Pictures that do
not exist yet are skipped.

    contact_sheet.py [output.png]    (default: build/contact-sheet.png)
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES = os.path.join(ROOT, "assets", "pictures")
SHEET_WIDTH = 1600
MARGIN = 16
BACKDROP = (34, 36, 44)
TEXT = (226, 228, 236)
FONT = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 13)
STRIPS = (("KMV1", 217), ("KMV2", 73), ("KMV3", 65))
FLYERS = (("KMV3SG", 44), ("KMV3SGsmall", 24))
PANELS = (("KGR1", 0), ("KGW1", 571), ("KGC1", 907))
BANDS = ("KIM2GadgetPanel", "KIM2GadgetSolid")
SURROUND_STRIPS = (("SurroundNearL0", 217), ("SurroundNearR0", 217), ("SurroundMiddleR0", 73),
                   ("SurroundHorizonL0", 65))
DIALOG = ("DialogHeader.jpg", "DialogDecor.bmp", "SliderTrack.bmp", "SliderKnob.bmp",
          "BtnOkUp.bmp", "BtnOkDown.bmp", "BtnCancelUp.bmp", "BtnCancelDown.bmp")


def load(name):
    for candidate in (name, name + ".jpg", name + ".bmp", name + ".gif"):
        path = os.path.join(PICTURES, candidate)
        if os.path.isfile(path):
            return Image.open(path).convert("RGB")
    return None


def keyed(image, key):
    """The picture with its key colour shown as a checkerboard, so see-through parts show."""
    rgb = np.asarray(image).copy()
    h, w, _ = rgb.shape
    ys, xs = np.mgrid[0:h, 0:w]
    board = np.where(((xs // 6 + ys // 6) % 2)[..., None] == 0, 70, 96).astype(np.uint8)
    mask = np.all(rgb == np.array(key, dtype=np.uint8), axis=2)
    rgb[mask] = np.repeat(board, 3, axis=2)[mask]
    return Image.fromarray(rgb)


class Sheet:
    def __init__(self):
        self.rows = []  # (label, [images])

    def add(self, label, images):
        images = [im for im in images if im is not None]
        if images:
            self.rows.append((label, images))

    def render(self):
        layout, y = [], MARGIN
        for label, images in self.rows:
            x, line_h, placed = MARGIN, 0, []
            y += 20
            for im in images:
                if x + im.width > SHEET_WIDTH - MARGIN and x > MARGIN:
                    x, y = MARGIN, y + line_h + 8
                    line_h = 0
                placed.append((im, x, y))
                x += im.width + 8
                line_h = max(line_h, im.height)
            layout.append((label, placed, y - 20 if placed else y))
            y += line_h + MARGIN
        sheet = Image.new("RGB", (SHEET_WIDTH, y), BACKDROP)
        draw = ImageDraw.Draw(sheet)
        for label, placed, top in layout:
            draw.text((MARGIN, placed[0][2] - 18 if placed else top), label, font=FONT, fill=TEXT)
            for im, x, py in placed:
                sheet.paste(im, (x, py))
        return sheet


def captioned(image, text):
    out = Image.new("RGB", (max(image.width, 24), image.height + 16), BACKDROP)
    out.paste(image, (0, 0))
    ImageDraw.Draw(out).text((2, image.height + 1), text, font=FONT, fill=TEXT)
    return out


def frames(image, height, picks):
    return [image.crop((0, k * height, image.width, (k + 1) * height)) for k in picks]


def scaled(image, factor):
    return image.resize((image.width * factor, image.height * factor), Image.NEAREST)


def add_scene(sheet):
    background = load("KIM1")
    if background:
        sheet.add("KIM1 background (half size)", [background.resize((512, 384), Image.LANCZOS)])
    for name, height in STRIPS:
        strip = load(name)
        if strip:
            count = strip.height // height
            picks = (0, count // 3, 2 * count // 3)
            shots = frames(strip, height, picks)
            if strip.width > 600:
                shots = [s.resize((s.width // 2, s.height // 2), Image.LANCZOS) for s in shots]
            sheet.add(f"{name}: frames {picks}" + (" (half size)" if strip.width > 600 else ""), shots)
    for name, height in FLYERS:
        strip = load(name)
        if strip:
            picks = range(0, 120, 10)
            shots = [keyed(f, f.getpixel((0, 0))) for f in frames(strip, height, picks)]
            factor = 2 if height < 40 else 1
            sheet.add(f"{name}: headings 0, 30, ... 330 degrees", [scaled(s, factor) for s in shots])


def flyers_over(background, left, top, picks):
    """A 2x view of the background around (left, top) with the flyers keyed over it at the
    sizes the saver draws them (the small strip also at 28 x 18 and 14 x 9, by nearest
    pixels as the saver stretches it)."""
    view = background.crop((left, top, left + 500, top + 70))
    x = 6
    for name, height, size in (("KMV3SG", 44, None), ("KMV3SGsmall", 24, None),
                               ("KMV3SGsmall", 24, (28, 18)), ("KMV3SGsmall", 24, (14, 9))):
        strip = load(name)
        if strip is None:
            continue
        for frame in frames(strip, height, picks):
            key = frame.getpixel((0, 0))
            if size:
                frame = frame.resize(size, Image.NEAREST)
            mask = Image.fromarray((np.any(np.asarray(frame) != key, axis=2) * 255).astype(np.uint8))
            view.paste(frame, (x, (70 - frame.height) // 2), mask)
            x += frame.width + 2
    return scaled(view, 2)


def add_flyers_in_scene(sheet):
    background = load("KIM1")
    if background is None:
        return
    picks = (0, 30, 100)
    sheet.add("Flyers keyed over the sky by the sun and over the sea (double size): large, small, "
              "28 x 18, 14 x 9", [flyers_over(background, 420, 250, picks),
                                  flyers_over(background, 330, 400, picks)])


def pieces(prefix, count, vertical=False, reverse=False):
    """The pieces prefix0, prefix1, .. put together outward from the frame."""
    parts = [load(prefix + str(i)) for i in range(count)]
    if any(p is None for p in parts):
        return None
    if reverse:
        parts.reverse()
    arrays = [np.asarray(p) for p in parts]
    return Image.fromarray(np.concatenate(arrays, axis=0 if vertical else 1))


def add_surround(sheet):
    background = load("KIM1")
    left, right = pieces("SurroundL", 3, reverse=True), pieces("SurroundR", 3)
    if background and left and right:
        wide = Image.fromarray(np.concatenate([np.asarray(left), np.asarray(background), np.asarray(right)], axis=1))
        sheet.add("Surround: the still sides with KIM1 between them, 32:9 (quarter size)",
                  [wide.resize((wide.width // 4, wide.height // 4), Image.LANCZOS)])
    sky = pieces("SurroundT", 2, vertical=True, reverse=True)
    if background and sky:
        tall = Image.fromarray(np.concatenate([np.asarray(sky), np.asarray(background)], axis=0))
        sheet.add("Surround: the sky above KIM1, 9:16 (quarter size)",
                  [tall.resize((tall.width // 4, tall.height // 4), Image.LANCZOS)])
    for name, height in SURROUND_STRIPS:
        strip = load(name)
        if strip:
            count = strip.height // height
            picks = (0, count // 3, 2 * count // 3)
            sheet.add(f"{name}: frames {picks}", frames(strip, height, picks))


def add_gadgets(sheet):
    icons = load("KMV3Weather")
    if icons:
        sheet.add("KMV3Weather: condition codes 0-47 and 48 (not available)",
                  [captioned(f, str(k)) for k, f in enumerate(frames(icons, 52, range(49)))])
    large = load("BandIcons")
    if large:
        side = large.width
        sheet.add("BandIcons: the band's icons at three times the size, codes 11, 30, 32, 47, 48",
                  frames(large, side, (11, 30, 32, 47, 48)))
    glass = load("BandGlass")
    if glass:
        sheet.add("BandGlass: the scene behind the band, softened and darkened (half size)",
                  [glass.resize((glass.width // 2, glass.height // 2), Image.LANCZOS)])
    plates = [(load(name), x) for name, x in PANELS]
    for look, band in zip(("glass", "solid"), (load(name) for name in BANDS)):
        if band is None:
            continue
        base = np.asarray(band).copy()
        for plate, x in plates:
            if plate is None:
                continue
            rgb = np.asarray(plate)[:, : 1024 - x]
            region = base[: rgb.shape[0], x:x + rgb.shape[1]]
            mask = np.any(rgb != 0, axis=2)
            region[mask] = rgb[mask]
        sheet.add("Gadget band at the design's size, %s, ticker, weather and clock keyed over it" % look,
                  [Image.fromarray(base)])
    sheet.add("Gadget plates on their own, see-through parts chequered",
              [keyed(im, (0, 0, 0)) for im, _ in plates if im is not None])


def add_dialog(sheet):
    pictures = []
    for name in DIALOG:
        path = os.path.join(PICTURES, name)
        if os.path.isfile(path):
            image = Image.open(path).convert("RGB")
            if name == "DialogDecor.bmp":
                image = keyed(image, image.getpixel((0, 0)))
            elif name == "SliderKnob.bmp":
                image = keyed(image, image.getpixel((0, image.height - 1)))
            pictures.append(image)
    sheet.add("Dialog: header, emblem, slider track and knob, OK and Cancel up and down", pictures)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "contact-sheet.png")
    sheet = Sheet()
    add_scene(sheet)
    add_surround(sheet)
    add_flyers_in_scene(sheet)
    add_gadgets(sheet)
    add_dialog(sheet)
    preview = load("PREVIEWBMP")
    sheet.add("PREVIEWBMP (double size)", [scaled(preview, 2)] if preview else [])
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    sheet.render().save(out)
    print(out)


if __name__ == "__main__":
    main()
