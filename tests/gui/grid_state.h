#pragma once

#include "state/working_state.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace pelmar::gui::grid_test {

// A state of `records` records over fields of the given widths (parts 2 of the definitions).
inline state::WorkingState stateWith(int records, const QList<int>& widths) {
    state::WorkingState state;
    state.fieldCount = static_cast<std::int16_t>(widths.size());
    state.field.recreate(state.fieldCount + 1, 5);
    for (int j = 1; j <= state.fieldCount; ++j) {
        state.field.set(j, 0, QStringLiteral("F%1").arg(j));
        state.field.set(j, 2, QString::number(widths[j - 1]));
    }
    state.recordCount = static_cast<std::int16_t>(records);
    state.records.recreate(records + 1, state.fieldCount + 1);
    for (int r = 1; r <= records; ++r)
        for (int j = 1; j <= state.fieldCount; ++j)
            state.records.set(r, j, QStringLiteral("r%1f%2").arg(r).arg(j));
    state.delimiter = QStringLiteral(";");
    return state;
}

} // namespace pelmar::gui::grid_test
