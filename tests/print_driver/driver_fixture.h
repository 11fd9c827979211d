#pragma once

#include "state/working_state.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"

#include <QDate>
#include <QStringList>
#include <initializer_list>

namespace pelmar::test {

// Records of fieldCount fields; each record a list of its field texts.
inline void setRecords(state::WorkingState& state, int fieldCount,
                       std::initializer_list<QStringList> records) {
    state.fieldCount = static_cast<std::int16_t>(fieldCount);
    state.recordCount = static_cast<std::int16_t>(records.size());
    state.records.recreate(static_cast<int>(records.size()) + 1, fieldCount + 1);
    int row = 1;
    for (const QStringList& record : records) {
        for (int field = 0; field < record.size(); ++field)
            state.records.set(row, field + 1, record[field]);
        ++row;
    }
}

// A 60 x 40 mm label with no elements, delimiter ",".
inline state::WorkingState labelState() {
    state::WorkingState state;
    state.format.labelSettings.width = QStringLiteral("60");
    state.format.labelSettings.height = QStringLiteral("40");
    state.delimiter = QStringLiteral(",");
    state.across = 1;
    return state;
}

// A plain 10-point driver-mode text at the label's top-left corner.
inline state::DriverFormat::Text cornerText(const QString& face, const QString& content) {
    return {.x = "0",
            .y = "0",
            .size = "10",
            .style = "0",
            .lineStyle = "0",
            .face = face,
            .content = content};
}

inline const QDate kToday{2026, 12, 7};

} // namespace pelmar::test
