#pragma once

#include <QString>

namespace pelmar::common {

// What a print run shows in the main window: the status line lblMsg, the progress cell
// lblPrintItem, the record line lblPrintData and the grid's current row. Each setter repaints at
// once.
class RunView {
public:
    virtual ~RunView() = default;
    virtual void setStatusMessage(const QString& text) = 0; // lblMsg
    virtual void setPrintItem(const QString& text) = 0;     // lblPrintItem
    virtual void setPrintData(const QString& text) = 0;     // lblPrintData
    // Makes record row r the selected row of the grid and scrolls it to the top.
    virtual void showGridRow(int row) = 0;
};

} // namespace pelmar::common
