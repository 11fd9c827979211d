#pragma once

#include "state/working_state.h"

#include <QStringList>

namespace pelmar::test {

// Label settings of a 60 x 40 mm label with a 3 mm gap at speed 4.
inline void setLabel(state::WorkingState& state, const QString& height = QStringLiteral("40"),
                     const QString& gap = QStringLiteral("3"),
                     const QString& speed = QStringLiteral("4")) {
    state.format.labelSettings = {QStringLiteral("60"), height, gap, speed, QStringLiteral("8")};
    state.format.command.labelOffset = QStringLiteral("0");
    state.format.command.sensorType = QStringLiteral("0");
    state.format.command.direction = QStringLiteral("1");
    state.format.command.stripeCommand = QStringLiteral("SET STRIPE ON");
    state.format.command.cutterCommand = QStringLiteral("SET CUTTER OFF");
}

// Records of fields per row, columns from 1; FieldCount is the widest row.
inline void setRecords(state::WorkingState& state, const QList<QStringList>& rows) {
    int fields = 0;
    for (const QStringList& row : rows)
        fields = std::max(fields, static_cast<int>(row.size()));
    state.fieldCount = static_cast<std::int16_t>(fields);
    state.recordCount = static_cast<std::int16_t>(rows.size());
    state.records.recreate(static_cast<int>(rows.size()) + 1, fields + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int f = 0; f < rows[r].size(); ++f)
            state.records.set(r + 1, f + 1, rows[r][f]);
}

// A plain 24-dot Arial text at (0, y); its content is a field expression or a fixed text.
inline state::CommandFormat::Text plainText(const QString& content,
                                            const QString& y = QStringLiteral("0")) {
    return {.x = "0",
            .y = y,
            .height = "24",
            .rotation = "0",
            .style = "0",
            .underline = "0",
            .face = "Arial",
            .content = content};
}

// A readable 50-dot barcode at the label's corner, narrow bars 2 dots and wide ones 4.
inline state::CommandFormat::Barcode cornerBarcode(const QString& symbology,
                                                   const QString& content) {
    return {.x = "0",
            .y = "0",
            .symbology = symbology,
            .height = "50",
            .readable = "1",
            .rotation = "0",
            .narrow = "2",
            .wide = "4",
            .content = content};
}

} // namespace pelmar::test
