// `TKesbutton`: the dialog's push-button drawn from two pictures, `Ground_on` while it is held
// down and `Ground_off` otherwise (the caption is part of the pictures). Every release that
// follows a press on the button raises `OnClick`, wherever the pointer is then.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class TKesbutton : public QWidget {
public:
    explicit TKesbutton(QWidget* Parent = nullptr);

    // A null picture is ignored; the picture's size becomes the control's.
    void SetGround_on(const QImage& Bitmap);
    void SetGround_off(const QImage& Bitmap);
    // Either value switches both pictures to drawing without their bottom-left pixel's colour.
    void SetTransparent(bool Value);
    bool GetTransparent() const { return Transparent; }
    bool Pressed() const { return FPressed; }

    std::function<void(TKesbutton* Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    void SetPicture(QImage& Field, const QImage& Bitmap);

    QImage Ground_on;
    QImage Ground_off;
    bool Transparent = false;
    bool Keyed = false;
    bool FPressed = false;
};
