"""Writers for the Windows bitmap files the saver builds in: 8-bit palettised (plain or BI_RLE8
run-length encoded) and 24-bit true colour. Every writer is deterministic, so a generator that is
run twice produces the same bytes.

    write_bmp8(path, indices, palette, rle=True)
        indices: 2-D array (rows top to bottom) of palette indices 0..len(palette)-1
        palette: sequence of (r, g, b), at most 256 entries; its length becomes biClrUsed
    write_bmp24(path, rgb)
        rgb: 3-D array height x width x 3 of 0..255, rows top to bottom
"""

import struct

import numpy as np

BI_RGB = 0
BI_RLE8 = 1
PIXELS_PER_METRE = 2835  # 72 dpi, what paint programs write by default


def _headers(width, height, bit_count, compression, image_size, colours, offset):
    file_size = offset + image_size
    file_header = struct.pack("<2sIHHI", b"BM", file_size, 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, compression,
                              image_size, PIXELS_PER_METRE, PIXELS_PER_METRE, colours, colours)
    return file_header + info_header


def _palette_bytes(palette):
    out = bytearray()
    for r, g, b in palette:
        out += bytes((int(b), int(g), int(r), 0))
    return bytes(out)


def _plain_rows(indices):
    height, width = indices.shape
    stride = (width + 3) & ~3
    out = bytearray()
    for y in range(height - 1, -1, -1):  # bitmaps are stored bottom-up
        row = indices[y].astype(np.uint8).tobytes()
        out += row + bytes(stride - width)
    return bytes(out)


def _run_length(row, start):
    value = row[start]
    end = start
    while end < len(row) and end - start < 255 and row[end] == value:
        end += 1
    return end - start


def _encode_row(row):
    """One row in BI_RLE8: repeated bytes as (count, value) pairs, stretches of differing bytes
    in absolute mode (0, n, n bytes, padded to a 16-bit boundary). Absolute mode needs n >= 3,
    so shorter stretches fall back to runs of one."""
    out = bytearray()
    literal = []

    def flush():
        if len(literal) >= 3:
            out.extend((0, len(literal)))
            out.extend(literal)
            if len(literal) & 1:
                out.append(0)
        else:
            for v in literal:
                out.extend((1, v))
        literal.clear()

    i = 0
    while i < len(row):
        run = _run_length(row, i)
        if run >= 3 or (run == 2 and not literal):
            flush()
            out.extend((run, row[i]))
            i += run
        else:
            literal.append(row[i])
            i += 1
            if len(literal) == 255:
                flush()
    flush()
    return out


def rle8_encode(indices):
    """BI_RLE8 data of a whole picture: rows bottom-up, each closed by end-of-line, the picture
    closed by end-of-bitmap."""
    height = indices.shape[0]
    out = bytearray()
    for y in range(height - 1, -1, -1):
        out += _encode_row(indices[y].astype(np.uint8).tolist())
        out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def write_bmp8(path, indices, palette, rle=True):
    indices = np.asarray(indices)
    if indices.ndim != 2:
        raise ValueError("indices must be a 2-D array")
    if not 1 <= len(palette) <= 256:
        raise ValueError("an 8-bit palette holds 1 to 256 colours")
    if indices.size and int(indices.max()) >= len(palette):
        raise ValueError("index beyond the palette")
    height, width = indices.shape
    data = rle8_encode(indices) if rle else _plain_rows(indices)
    pal = _palette_bytes(palette)
    offset = 14 + 40 + len(pal)
    head = _headers(width, height, 8, BI_RLE8 if rle else BI_RGB, len(data), len(palette), offset)
    with open(path, "wb") as f:
        f.write(head + pal + data)


def write_bmp24(path, rgb):
    rgb = np.asarray(rgb, dtype=np.uint8)
    height, width, _ = rgb.shape
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        data += rgb[y, :, ::-1].tobytes() + bytes(stride - width * 3)
    head = _headers(width, height, 24, BI_RGB, len(data), 0, 54)
    with open(path, "wb") as f:
        f.write(head + bytes(data))


def quantize(rgb, colours=256, reserved=()):
    """Reduces an RGB array to a palette of at most `colours` entries (median cut, no dithering,
    so flat areas stay flat and the result is reproducible). Colours in `reserved` come first in
    the palette and keep their exact values wherever they occur in the picture."""
    from PIL import Image

    rgb = np.asarray(rgb, dtype=np.uint8)
    reserved = [tuple(int(c) for c in r) for r in reserved]
    free = colours - len(reserved)
    img = Image.fromarray(rgb)
    q = img.quantize(colors=free, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    used = np.asarray(q, dtype=np.int32)
    count = int(used.max()) + 1  # the quantiser pads its palette; keep the entries in use
    pal = q.getpalette()[: count * 3]
    palette = list(reserved) + [tuple(pal[i * 3:i * 3 + 3]) for i in range(count)]
    indices = used + len(reserved)
    for n, r in enumerate(reserved):
        indices[np.all(rgb == np.array(r, dtype=np.uint8), axis=2)] = n
    # Drop entries that no pixel uses any more (the quantiser's own copy of a reserved colour,
    # for one), keeping the reserved entries at the front.
    keep = sorted(set(range(len(reserved))) | set(np.unique(indices).tolist()))
    remap = np.zeros(len(palette), dtype=np.int32)
    remap[keep] = np.arange(len(keep))
    return remap[indices], [palette[i] for i in keep]
