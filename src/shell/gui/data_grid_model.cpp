#include "shell/gui/data_grid_model.h"

namespace pelmar::gui {

namespace {
const QVariant cellAlignment = QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
}

DataGridModel::DataGridModel(QObject* parent) : QAbstractTableModel(parent) {
    m_layout.headers << QString();
    m_layout.widthTwips << 800;
}

void DataGridModel::fill(const state::WorkingState& state) {
    beginResetModel();
    m_state = &state;
    m_records = state.recordCount;
    if (m_records > 0)
        m_layout = data::gridLayout(state);
    endResetModel();
}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_records;
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_layout.headers.size());
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || m_state == nullptr)
        return {};
    if (role == Qt::TextAlignmentRole)
        return cellAlignment;
    if (role != Qt::DisplayRole)
        return {};
    const int record = index.row() + 1;
    if (index.column() == 0)
        return data::recordNumberText(record);
    return m_state->records.at(record, index.column());
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::TextAlignmentRole)
        return cellAlignment;
    if (role == Qt::DisplayRole && section >= 0 && section < m_layout.headers.size())
        return m_layout.headers.at(section);
    return {};
}

} // namespace pelmar::gui
