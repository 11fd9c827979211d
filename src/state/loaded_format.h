#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace pelmar::state {

// One element table of a loaded format: at most 20 rows (0 to 19) of texts; count says how many
// rows are valid. Rows at and above count are never read, and a load does not clear them.
struct ElementTable {
    static constexpr int kCapacity = 20;
    static constexpr int kColumns = 9;
    using Row = std::array<QString, kColumns>;

    std::array<Row, kCapacity> rows;
    std::int16_t count = 0;

    // Column k of row i, empty outside the table.
    const QString& at(int row, int column) const {
        static const QString empty;
        if (row < 0 || row >= kCapacity || column < 0 || column >= kColumns)
            return empty;
        return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
};

// The label format last loaded (command-mode or driver-mode loader).
struct LoadedFormat {
    // 0 width, 1 height, 2 gap (mm), 3 speed, 4 darkness; kept between loads.
    std::array<QString, 5> labelSettings;
    QString labelOffset;
    QString sensorType;
    QString direction;
    QString stripeCommand;
    QString cutterCommand;

    ElementTable lineElements;
    ElementTable boxElements;
    ElementTable fTextElements;
    ElementTable vTextElements;
    ElementTable fBarcodeElements;
    ElementTable vBarcodeElements;
    ElementTable pdf417Elements;
    ElementTable dMatrixElements;
    ElementTable graphicElements;
};

} // namespace pelmar::state
