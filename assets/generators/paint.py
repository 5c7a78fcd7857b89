"""Colour helpers shared by the cairo generators: colours are (r, g, b) tuples of 0..255."""


import cairo


def set_rgb(ctx, colour, alpha=1.0):
    ctx.set_source_rgba(colour[0] / 255, colour[1] / 255, colour[2] / 255, alpha)


def gradient(x0, y0, x1, y1, stops):
    """A linear gradient through (offset, colour) stops."""
    grad = cairo.LinearGradient(x0, y0, x1, y1)
    for offset, colour in stops:
        grad.add_color_stop_rgb(offset, *(c / 255 for c in colour))
    return grad
