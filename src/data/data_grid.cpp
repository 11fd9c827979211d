#include "data/data_grid.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>

namespace pelmar::data {

GridLayout gridLayout(const state::WorkingState& state) {
    GridLayout layout;
    layout.headers << QStringLiteral("資料數");
    layout.widthTwips << 800;
    for (int j = 1; j <= state.fieldCount; ++j) {
        layout.headers << state.field.at(j, 0);
        const double width = std::nearbyint(130.0 * common::leadingNumber(state.field.at(j, 2)));
        layout.widthTwips << static_cast<int>(std::clamp(width, 1300.0, 32767.0));
    }
    return layout;
}

QString recordNumberText(int record) {
    return QStringLiteral("%1").arg(record, 4, 10, QLatin1Char('0'));
}

QString currentRecordLine(const state::WorkingState& state, int record) {
    QString line = state.records.at(record, 1);
    for (int j = 2; j <= state.fieldCount; ++j) {
        const QString& value = state.records.at(record, j);
        line += state.delimiter;
        line += value.isEmpty() ? QStringLiteral(" ") : value;
    }
    return line;
}

QString MSFlexGrid1_Click(state::WorkingState& state, int row) {
    if (state.recordCount == 0)
        return {};
    state.currentRecord = static_cast<std::int16_t>(row);
    return currentRecordLine(state, row);
}

} // namespace pelmar::data
