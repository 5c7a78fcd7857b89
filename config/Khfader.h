// `TKHFADER`: the dialog's horizontal slider, drawn from a track picture (`Ground`) and a knob
// picture (`Knob`, its bottom-left pixel's colour left out). `Value` runs 0..256 when dragged;
// `SetValue` stores anything unchecked. The whole control is painted in one step through an
// off-screen work picture. While a mouse button is held, every move sets the value from the
// pointer and raises `OnValueChanged`, also when the value stays the same. With the focus, the
// arrow keys move the knob by 8, and a dotted frame marks the slider that has it.
#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <functional>

class TKHFADER : public QWidget {
public:
    explicit TKHFADER(QWidget* Parent = nullptr);

    // A null picture is ignored; the track's size becomes the control's.
    void SetGround(const QImage& Bitmap);
    void SetKnob(const QImage& Bitmap);
    void SetValue(int V);
    int GetValue() const { return Value; }
    // Where Paint puts the knob's top-left corner.
    QPoint KnobPosition() const;

    std::function<void(TKHFADER* Sender)> OnValueChanged;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void Changed();
    void DrawFocusMark(QPainter& Painter) const;

    QImage Ground;
    QImage Knob;
    QImage Work;
    int Value = 256;
    bool Dragging = false;
};
