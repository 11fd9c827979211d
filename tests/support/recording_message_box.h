#pragma once

#include "common/message_box.h"

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

} // namespace pelmar::test
