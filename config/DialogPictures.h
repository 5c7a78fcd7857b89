// The dialog's pictures: the built-in resources read by Qt's own image readers (the program's
// bitmap decoder goes through SDL, which the dialog would otherwise map only for this; a test
// holds both to the same pixels), and the transparent drawing of a picture whose bottom-left pixel names the
// colour to leave out.
#pragma once

#include <QImage>

#include <string_view>

// The built-in picture of that resource name; a null image when it is missing or corrupt.
QImage BuiltInPicture(std::string_view Name);

// Every picture the form shows, the header's decoration already keyed, and the program's icon
// (with its transparency) for the window.
struct TDialogPictures {
    QImage Header, Decor, SliderTrack, SliderKnob, BtnOkDown, BtnOkUp, BtnCancelDown, BtnCancelUp;
    QImage Icon;
};

// Reads them all; Qt's image readers are reentrant, so this may run on a thread of its own while
// the form's widgets are built.
TDialogPictures ReadDialogPictures();

// Picture with every pixel of its bottom-left pixel's colour made transparent.
QImage WithAutoTransparency(const QImage& Picture);
