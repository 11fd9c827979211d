#pragma once

#include <QString>

namespace pelmar::common {

enum class MessageIcon { None, Critical, Exclamation, Question, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// A modal message box: the window shows a dialog, the headless tool writes to standard error,
// tests record. Returns the operator's answer.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

// Shows text under caption with an OK button; returns when the operator has seen it.
inline void showMessage(MessageBox& box, const QString& text, const QString& caption,
                        MessageIcon icon = MessageIcon::Critical) {
    Message message;
    message.text = text;
    message.caption = caption;
    message.icon = icon;
    box.show(message);
}

// The program's title, the caption of messages that name no place.
inline QString programTitle() {
    return QStringLiteral("Pelmar 標籤列印程式");
}

} // namespace pelmar::common
