#pragma once
// Keys typed into a widget as the keyboard sends them, so that validators,
// completers and shortcuts see what an operator's typing gives them.

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

namespace zorvex::test {

/// Presses and releases `key` (with `text` for a printable one) on `widget`.
inline void pressKey(QWidget* widget, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

/// Types `text` character by character.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        pressKey(widget, key, QString(c));
    }
}

/// Empties a line box as select-all and Delete do.
inline void eraseAll(QWidget* widget) {
    pressKey(widget, Qt::Key_A, {}, Qt::ControlModifier);
    pressKey(widget, Qt::Key_Delete);
}

}  // namespace zorvex::test
