// Typing in a drop-down list of the dialog, open or closed: typed letters jump to the first name
// that starts with them; letters typed within the keyboard input interval add up to one prefix,
// and the same letter again steps to the next name starting with it, as in any long list. In an
// open list the jump moves the highlight (Enter takes it); in a closed one it chooses the name,
// as the arrow keys do, and the list reports it as the user's choice (`activated`).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QComboBox;
class QKeyEvent;

class TListTypeAhead : public QObject {
public:
    // Watches Box and its list; owned by Box.
    explicit TListTypeAhead(QComboBox* ABox);

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The row typing Text after the earlier keys leads to from the row Current, or -1.
    int Jump(const QString& Text, int Current);
    int FindFrom(const QString& Prefix, int From) const;

    QComboBox* Box;
    QString Typed;
    QElapsedTimer SinceLastKey;
};
