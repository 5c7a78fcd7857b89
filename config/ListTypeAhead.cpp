// The open list is the combo box's popup view: key presses reach it while the popup is shown,
// and the box itself while it is closed. Only key presses that carry printable text are taken;
// navigation, Enter and Escape pass on to Qt. Qt's own search of a closed box is replaced, so
// both states find names the same way.
#include "config/ListTypeAhead.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace {

bool IsTyping(const QKeyEvent* Key)
{
    const QString Text = Key->text();
    if (Text.isEmpty() || (Key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    for (QChar C : Text) {
        if (!C.isPrint())
            return false;
    }
    return true;
}

bool AllSameLetter(const QString& Text)
{
    for (QChar C : Text) {
        if (C.toLower() != Text.front().toLower())
            return false;
    }
    return true;
}

}  // namespace

TListTypeAhead::TListTypeAhead(QComboBox* ABox) : QObject(ABox), Box(ABox)
{
    Box->installEventFilter(this);
    Box->view()->installEventFilter(this);
}

bool TListTypeAhead::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress)
        return false;
    auto* Key = static_cast<QKeyEvent*>(Event);
    if (!IsTyping(Key))
        return false;
    QAbstractItemView* View = Box->view();
    if (Watched == View) {
        const QModelIndex Current = View->currentIndex();
        const int Row = Jump(Key->text(), Current.isValid() ? Current.row() : -1);
        if (Row < 0)
            return true;
        const QModelIndex Index = View->model()->index(Row, Box->modelColumn(), View->rootIndex());
        View->setCurrentIndex(Index);
        View->scrollTo(Index, QAbstractItemView::PositionAtTop);
    } else {
        const int Row = Jump(Key->text(), Box->currentIndex());
        if (Row < 0 || Row == Box->currentIndex())
            return true;
        Box->setCurrentIndex(Row);
        emit Box->activated(Row);
    }
    return true;
}

int TListTypeAhead::FindFrom(const QString& Prefix, int From) const
{
    const int Rows = Box->count();
    for (int Step = 0; Step < Rows; ++Step) {
        const int Row = (From + Step) % Rows;
        if (Box->itemText(Row).startsWith(Prefix, Qt::CaseInsensitive))
            return Row;
    }
    return -1;
}

int TListTypeAhead::Jump(const QString& Text, int Current)
{
    const bool Continues = SinceLastKey.isValid() && SinceLastKey.elapsed() < QApplication::keyboardInputInterval();
    SinceLastKey.start();
    Typed = Continues ? Typed + Text : Text;
    if (Typed.size() > 1 && AllSameLetter(Typed))
        return FindFrom(Typed.left(1), Current + 1);  // the same letter again: the next name
    int Row = FindFrom(Typed, 0);
    if (Row < 0) {
        Typed = Text;
        Row = FindFrom(Typed, 0);
    }
    return Row;
}
