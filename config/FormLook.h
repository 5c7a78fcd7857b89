// The form's look as its data gives it. Designer's font property knows point sizes only and no
// colour, while the dialog's fonts are sized in pixels: the form data carries the dynamic
// properties "FontHeight" (pixels), "FontColor" (the text), "FontFace" (the face the design names,
// drawn with the installed face that stands in for it) and, on the window, "Color" (its
// background), beside the standard font's weight and underline.
#pragma once

class QWidget;

// Applies FontFace, FontHeight and FontColor to Root and every widget under it, parents before
// children, so that a value set on a parent reaches every child that sets none of its own.
void ApplyFontHeightsAndColors(QWidget* Root);
