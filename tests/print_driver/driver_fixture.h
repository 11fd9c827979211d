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

inline const QDate kToday{2026, 12, 7};

} // namespace pelmar::test
