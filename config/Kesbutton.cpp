#include "config/Kesbutton.h"

#include "config/DialogPictures.h"

#include <QPainter>

TKesbutton::TKesbutton(QWidget* Parent) : QWidget(Parent)
{
    resize(100, 100);
}

void TKesbutton::SetPicture(QImage& Field, const QImage& Bitmap)
{
    if (Bitmap.isNull())
        return;
    update();
    Field = Keyed ? WithAutoTransparency(Bitmap) : Bitmap;
    setFixedSize(Bitmap.size());
}

void TKesbutton::SetGround_on(const QImage& Bitmap)
{
    SetPicture(Ground_on, Bitmap);
}

void TKesbutton::SetGround_off(const QImage& Bitmap)
{
    SetPicture(Ground_off, Bitmap);
}

void TKesbutton::SetTransparent(bool Value)
{
    Transparent = Value;
    update();
    Keyed = true;
    Ground_on = WithAutoTransparency(Ground_on);
    Ground_off = WithAutoTransparency(Ground_off);
}

void TKesbutton::paintEvent(QPaintEvent*)
{
    if (Ground_on.isNull() || Ground_off.isNull())
        return;
    QPainter(this).drawImage(0, 0, FPressed ? Ground_on : Ground_off);
}

void TKesbutton::mousePressEvent(QMouseEvent*)
{
    update();
    FPressed = true;
}

void TKesbutton::mouseReleaseEvent(QMouseEvent*)
{
    update();
    FPressed = false;
    if (OnClick)
        OnClick(this);
}
