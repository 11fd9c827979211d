#pragma once

#include <QString>
#include <vector>

namespace pelmar::state {

// A table of texts with rows and columns counted from 0; row 0 and column 0 exist and stay empty
// by convention. An access outside the table yields an empty text and never leaves it.
class TextTable {
public:
    TextTable() = default;
    TextTable(int rows, int columns) { recreate(rows, columns); }

    // Replaces the whole table with rows x columns empty texts.
    void recreate(int rows, int columns) {
        m_rows = rows < 0 ? 0 : rows;
        m_columns = columns < 0 ? 0 : columns;
        m_cells.assign(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns), QString());
    }

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    const QString& at(int row, int column) const {
        if (!contains(row, column))
            return empty();
        return m_cells[index(row, column)];
    }

    // Stores a text; a place outside the table is ignored.
    void set(int row, int column, QString text) {
        if (contains(row, column))
            m_cells[index(row, column)] = std::move(text);
    }

    bool contains(int row, int column) const {
        return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
    }

private:
    static const QString& empty() {
        static const QString text;
        return text;
    }
    size_t index(int row, int column) const {
        return static_cast<size_t>(row) * static_cast<size_t>(m_columns) +
               static_cast<size_t>(column);
    }

    int m_rows = 0;
    int m_columns = 0;
    std::vector<QString> m_cells;
};

// A list of texts numbered from 1; entry 0 exists and stays empty. Outside: an empty text.
class TextList {
public:
    void recreate(int count) {
        m_entries.assign(static_cast<size_t>(count < 0 ? 1 : count + 1), {});
    }
    int count() const { return m_entries.empty() ? 0 : static_cast<int>(m_entries.size()) - 1; }
    const QString& at(int index) const {
        static const QString empty;
        if (index < 0 || index >= static_cast<int>(m_entries.size()))
            return empty;
        return m_entries[static_cast<size_t>(index)];
    }
    void set(int index, QString text) {
        if (index >= 0 && index < static_cast<int>(m_entries.size()))
            m_entries[static_cast<size_t>(index)] = std::move(text);
    }

private:
    std::vector<QString> m_entries;
};

} // namespace pelmar::state
