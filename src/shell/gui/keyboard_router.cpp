#include "shell/gui/keyboard_router.h"

#include "shell/gui/password_panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>

namespace pelmar::gui {

namespace {

bool isEnter(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The shown password gate that holds the Enter and Escape roles, or null.
PasswordPanel* gateWithRoles(const QWidget* client) {
    for (QObject* child : client->children()) {
        auto* gate = qobject_cast<PasswordPanel*>(child);
        if (gate != nullptr && gate->isVisible() && gate->hasButtonRoles())
            return gate;
    }
    return nullptr;
}

} // namespace

KeyboardRouter::KeyboardRouter(QWidget* window, QWidget* client)
    : QObject(window), m_window(window), m_client(client) {
    qApp->installEventFilter(this);
}

bool KeyboardRouter::ownsReceiver(QObject* watched) const {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == m_window;
}

QAbstractButton* KeyboardRouter::accessKeyButton(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::AltModifier || key.key() < Qt::Key_0 || key.key() > Qt::Key_Z)
        return nullptr;
    const QKeySequence typed(QKeyCombination(Qt::AltModifier, Qt::Key(key.key())));
    const QObjectList& children = m_client->children();
    // The panel raised last lies on top: its buttons come first.
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto* panel = qobject_cast<QGroupBox*>(*it);
        if (panel == nullptr || !panel->isVisible())
            continue;
        for (QAbstractButton* button : panel->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && QKeySequence::mnemonic(button->text()) == typed)
                return button;
        }
    }
    return nullptr;
}

bool KeyboardRouter::routeKeyPress(QObject* watched, const QKeyEvent& key) {
    if (QAbstractButton* button = accessKeyButton(key)) {
        if (button->isEnabled())
            button->click();
        return true;
    }
    auto* focusedButton = qobject_cast<QPushButton*>(watched);
    PasswordPanel* gate = gateWithRoles(m_client);
    if (isEnter(key) && !key.isAutoRepeat()) {
        if (focusedButton != nullptr && focusedButton->isEnabled()) {
            focusedButton->click();
            return true;
        }
        if (gate != nullptr) {
            gate->cmdPwOk()->click();
            return true;
        }
    }
    if (gate != nullptr && key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
        gate->cmdPwCancel()->click();
        return true;
    }
    return false;
}

bool KeyboardRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !ownsReceiver(watched))
        return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // Claiming the override keeps the key from the menus' shortcuts; the press follows.
        if (accessKeyButton(key) != nullptr) {
            event->accept();
            return true;
        }
        return false;
    }
    return routeKeyPress(watched, key);
}

} // namespace pelmar::gui
