#include "config/Khfader.h"

#include "config/DialogPictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kMaxValue = 256;
constexpr int kKeyStep = 8;
}  // namespace

TKHFADER::TKHFADER(QWidget* Parent) : QWidget(Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(100, 100);
}

void TKHFADER::SetGround(const QImage& Bitmap)
{
    if (Bitmap.isNull())
        return;
    update();
    Ground = Bitmap;
    setFixedSize(Bitmap.size());
}

void TKHFADER::SetKnob(const QImage& Bitmap)
{
    if (Bitmap.isNull())
        return;
    update();
    Knob = WithAutoTransparency(Bitmap);
}

void TKHFADER::SetValue(int V)
{
    Value = V;
    update();
}

QPoint TKHFADER::KnobPosition() const
{
    return {((width() - Knob.width()) * Value) >> 8, height() / 2 - Knob.height() / 2 - 1};
}

void TKHFADER::paintEvent(QPaintEvent*)
{
    if (Ground.isNull() || Knob.isNull())
        return;
    if (Work.size() != size())
        Work = QImage(size(), QImage::Format_RGB32);
    {
        QPainter work(&Work);
        work.drawImage(0, 0, Ground);
        work.drawImage(KnobPosition(), Knob);
        if (hasFocus())
            DrawFocusMark(work);
    }
    QPainter(this).drawImage(0, 0, Work);
}

// A dotted frame just inside the edge, like the focus mark of the system's own controls: the arrow
// keys move the knob of the slider that shows it. Its dots alternate dark and light, so the mark
// shows on any track picture.
void TKHFADER::DrawFocusMark(QPainter& Painter) const
{
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    Painter.setPen(QPen(Qt::black, 1));
    Painter.drawRect(frame);
    Painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    Painter.drawRect(frame);
}

void TKHFADER::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    update();
}

void TKHFADER::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    update();
}

void TKHFADER::mousePressEvent(QMouseEvent*)
{
    Dragging = true;
}

void TKHFADER::mouseReleaseEvent(QMouseEvent*)
{
    Dragging = false;
}

void TKHFADER::mouseMoveEvent(QMouseEvent* Event)
{
    const int travel = Ground.width() - Knob.width();
    // Without room for the knob to travel there is no value to read off the pointer.
    if (!Dragging || travel <= 0)
        return;
    const int x = static_cast<int>(Event->position().x());
    Value = std::clamp(((x - Knob.width() / 2) * kMaxValue) / travel, 0, kMaxValue);
    Changed();
}

void TKHFADER::keyPressEvent(QKeyEvent* Event)
{
    const int step = Event->key() == Qt::Key_Left ? -kKeyStep : Event->key() == Qt::Key_Right ? kKeyStep : 0;
    if (step == 0) {
        QWidget::keyPressEvent(Event);
        return;
    }
    Value = std::clamp(Value + step, 0, kMaxValue);
    Changed();
}

void TKHFADER::Changed()
{
    update();
    if (OnValueChanged)
        OnValueChanged(this);
}
