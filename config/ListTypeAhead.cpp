// The open list is the combo box's popup view: key presses reach it while the popup is shown,
// and the box itself while it is closed. Only key presses that carry printable text are taken;
// navigation, Enter and Escape pass on to Qt.
#include "config/ListTypeAhead.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace {

bool IsTyping(const QKeyEvent* Key) {
    const QString Text = Key->text();
    if (Text.isEmpty() || (Key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    for (QChar C : Text) {
        if (!C.isPrint()) return false;
    }
    return true;
}

bool AllSameLetter(const QString& Text) {
    for (QChar C : Text) {
        if (C.toLower() != Text.front().toLower()) return false;
    }
    return true;
}

}  // namespace

TListTypeAhead::TListTypeAhead(QComboBox* Box) : QObject(Box), Box(Box) {
    Box->installEventFilter(this);
    Box->view()->installEventFilter(this);
}

bool TListTypeAhead::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() != QEvent::KeyPress) return false;
    auto* Key = static_cast<QKeyEvent*>(Event);
    if (!IsTyping(Key)) return false;
    if (Watched == Box->view()) Jump(Key->text());
    return true;  // a closed list takes no typing at all
}

int TListTypeAhead::FindFrom(const QString& Prefix, int From) const {
    const int Rows = Box->count();
    for (int Step = 0; Step < Rows; ++Step) {
        const int Row = (From + Step) % Rows;
        if (Box->itemText(Row).startsWith(Prefix, Qt::CaseInsensitive)) return Row;
    }
    return -1;
}

void TListTypeAhead::Jump(const QString& Text) {
    const bool Continues =
        SinceLastKey.isValid() && SinceLastKey.elapsed() < QApplication::keyboardInputInterval();
    SinceLastKey.start();
    Typed = Continues ? Typed + Text : Text;
    QAbstractItemView* View = Box->view();
    const int Current = View->currentIndex().isValid() ? View->currentIndex().row() : -1;
    int Row = -1;
    if (Typed.size() > 1 && AllSameLetter(Typed)) {
        Row = FindFrom(Typed.left(1), Current + 1);  // the same letter again: the next name
    } else {
        Row = FindFrom(Typed, 0);
        if (Row < 0) {
            Typed = Text;
            Row = FindFrom(Typed, 0);
        }
    }
    if (Row < 0) return;
    const QModelIndex Index = View->model()->index(Row, Box->modelColumn(), View->rootIndex());
    View->setCurrentIndex(Index);
    View->scrollTo(Index, QAbstractItemView::PositionAtTop);
}
