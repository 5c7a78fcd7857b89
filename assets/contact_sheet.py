#!/usr/bin/env python3
"""Lays every built-in picture out on one labelled PNG for review: the background, three frames
of each scenery strip, twelve headings of both flyers and the flyers at their four drawn sizes
keyed over the sky by the sun and over the sea, the 49 weather icons, the gadget panels
(keyed over the bottom of the background, as the saver shows them) and the dialog pictures.
Pictures that do not exist yet are skipped.

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
PANELS = (("KIM2GadgetPanel", 0), ("KGR1", 0), ("KGW1", 571), ("KGC1", 907))
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


def add_gadgets(sheet):
    icons = load("KMV3Weather")
    if icons:
        sheet.add("KMV3Weather: condition codes 0-47 and 48 (not available)",
                  [captioned(f, str(k)) for k, f in enumerate(frames(icons, 52, range(49)))])
    background = load("KIM1")
    base = (np.asarray(background.crop((0, 698, 1024, 768))).copy() if background
            else np.full((70, 1024, 3), (150, 120, 100), dtype=np.uint8))
    shown = False
    for name, x in PANELS:
        panel = load(name)
        if panel is None:
            continue
        rgb = np.asarray(panel)[:, : 1024 - x]
        region = base[: rgb.shape[0], x:x + rgb.shape[1]]
        mask = np.any(rgb != 0, axis=2)
        region[mask] = rgb[mask]
        shown = True
    if shown:
        sheet.add("Gadget band, ticker, weather and clock keyed over the scene (black is see-through)",
                  [Image.fromarray(base)])
    sheet.add("Gadget pictures on their own, see-through parts chequered",
              [keyed(im, (0, 0, 0)) for im in (load(n) for n, _ in PANELS) if im is not None])


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
