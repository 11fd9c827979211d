#pragma once

#include "common/message_box.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace pelmar::test {

// Records every message; answers with the queued answers in order, then with `fallback`.
class RecordingMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message& message) override {
        shown.push_back(message);
        if (!answers.empty()) {
            const common::MessageAnswer answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }
        return fallback;
    }

    std::vector<common::Message> shown;
    std::vector<common::MessageAnswer> answers;
    common::MessageAnswer fallback = common::MessageAnswer::Ok;
};

// Whether the box showed exactly one message, with this text and, when given, this caption and
// icon; a failure lists the messages shown.
inline ::testing::AssertionResult shownOnce(const RecordingMessageBox& box, const QString& text,
                                            const std::optional<QString>& caption = {},
                                            std::optional<common::MessageIcon> icon = {}) {
    if (box.shown.size() == 1 && box.shown[0].text == text &&
        (!caption || box.shown[0].caption == *caption) && (!icon || box.shown[0].icon == *icon))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "expected one message [" << caption.value_or(QStringLiteral("*")).toStdString()
            << "] " << text.toStdString() << " (icon "
            << (icon ? std::to_string(static_cast<int>(*icon)) : "*") << "); shown "
            << box.shown.size() << ":";
    for (const common::Message& message : box.shown)
        failure << " [" << message.caption.toStdString() << "] " << message.text.toStdString()
                << " (icon " << static_cast<int>(message.icon) << ")";
    return failure;
}

} // namespace pelmar::test
