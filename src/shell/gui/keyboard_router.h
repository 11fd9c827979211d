#pragma once

#include <QObject>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace pelmar::gui {

// The keys of the window's panels, taken before the menus and the focused control see them:
// - Alt with the access key of a button on a shown panel presses that button (the topmost panel
//   first; a disabled button takes the key and does nothing), so a menu with the same letter,
//   enabled or not, never gets it while the screen shows;
// - Enter presses the focused button;
// - while the password gate holds its roles, Escape presses its cancel button and Enter its
//   default button wherever the focus is in the window (a focused button takes Enter itself).
// Only keys for controls of its own window are routed; message boxes and dialogs keep theirs.
class KeyboardRouter : public QObject {
    Q_OBJECT
public:
    // Routes the keys of `window`; its panels are the group boxes that are children of `client`.
    KeyboardRouter(QWidget* window, QWidget* client);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownsReceiver(QObject* watched) const;
    // The button of a shown panel whose access key the event types, or null.
    QAbstractButton* accessKeyButton(const QKeyEvent& key) const;
    bool routeKeyPress(QObject* watched, const QKeyEvent& key);

    QWidget* m_window;
    QWidget* m_client;
};

} // namespace pelmar::gui
