#include "shell/app/delimiter_check.h"

#include "data/data_file_reader.h"

#include <optional>

namespace pelmar::app {

bool delimiterCanCut(AppContext& context, const QString& caption) {
    const std::optional<QString> refusal = data::delimiterRefusal(context.state);
    if (!refusal)
        return true;
    common::Message message;
    message.text = *refusal;
    message.caption = caption;
    message.icon = common::MessageIcon::Critical;
    context.messageBox.show(message);
    return false;
}

} // namespace pelmar::app
