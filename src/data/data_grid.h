#pragma once

#include "state/working_state.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace pelmar::data {

// What the data grid shows after FillDataGrid: headers and widths of the columns (column 0 is
// the record-number column). The cells are read from the working state by the view.
struct GridLayout {
    QStringList headers;   // "資料數", then the field names
    QList<int> widthTwips; // 800, then max(1300, 130 x field width)
};

// Column widths and headers for the current field definitions. A width that would not fit in
// 16 bits (fields 253 bytes wide or more) is held at 32767 twips instead of failing the fill.
GridLayout gridLayout(const state::WorkingState& state);

// The record number of grid column 0: at least four digits, leading zeros (0007, 10000).
QString recordNumberText(int record);

// The current-record line: field 1, then for each further field the delimiter and the value, or
// a single blank for an empty value.
QString currentRecordLine(const state::WorkingState& state, int record);

// The grid's click: makes row the current record and returns the current-record line for
// lblPrintData; with no records nothing changes and the result is empty.
QString MSFlexGrid1_Click(state::WorkingState& state, int row);

} // namespace pelmar::data
