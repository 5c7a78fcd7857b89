// Typing in a drop-down list of the dialog. A closed list takes no typed text (the arrow keys
// still move its choice), so a stray key never changes the place. In an open list, typed letters
// jump to the first name that starts with them; letters typed within the keyboard input interval
// add up to one prefix, and the same letter again steps to the next name starting with it, as in
// any long list.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QComboBox;
class QKeyEvent;

class TListTypeAhead : public QObject {
public:
    // Watches Box and its list; owned by Box.
    explicit TListTypeAhead(QComboBox* Box);

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Jump(const QString& Text);
    int FindFrom(const QString& Prefix, int From) const;

    QComboBox* Box;
    QString Typed;
    QElapsedTimer SinceLastKey;
};
