#pragma once

#include "data/data_grid.h"
#include "state/working_state.h"

#include <QAbstractTableModel>

namespace pelmar::gui {

// The data grid MSFlexGrid1 as a model over the records of the working state: the horizontal
// header is the grid's fixed row 0 ("資料數" and the field names), column 0 the record number,
// model row r - 1 the record r. Cells are read from the records when drawn, so a fill costs the
// same for ten records and for 32,767.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataGridModel(QObject* parent = nullptr);

    // FillDataGrid: shows the records of the state as they are now (header row only when there
    // are none; the headers and widths of the last fill then stay).
    void fill(const state::WorkingState& state);

    // Headers and widths (twips) of the last fill with records.
    const data::GridLayout& layout() const { return m_layout; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const state::WorkingState* m_state = nullptr;
    int m_records = 0;
    data::GridLayout m_layout;
};

} // namespace pelmar::gui
