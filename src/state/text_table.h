#pragma once

#include <QString>
#include <QStringView>
#include <limits>
#include <vector>

namespace pelmar::state {

// A table of texts with rows and columns counted from 0; row 0 and column 0 exist and stay empty
// by convention. An access outside the table yields an empty text and never leaves it.
//
// A cell holds a text of its own or a part of its row's line: a data file cut into records keeps
// one buffer per line rather than one per field, and a part becomes a text of its own when read.
class TextTable {
public:
    TextTable() = default;
    TextTable(int rows, int columns) { recreate(rows, columns); }

    // Replaces the whole table with rows x columns empty texts.
    void recreate(int rows, int columns) {
        m_rows = rows < 0 ? 0 : rows;
        m_columns = columns < 0 ? 0 : columns;
        m_cells.assign(cellCount(), QString());
        m_parts.clear();
        m_lines.clear();
    }

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    // The text of a cell, a copy of its own that outlives the table.
    QString at(int row, int column) const {
        if (!contains(row, column))
            return QString();
        const size_t i = index(row, column);
        if (!m_parts.empty() && m_parts[i].size >= 0)
            return QStringView(m_lines[static_cast<size_t>(row)])
                .sliced(m_parts[i].from, m_parts[i].size)
                .toString();
        return m_cells[i];
    }

    // Stores a text; a place outside the table is ignored.
    void set(int row, int column, QString text) {
        if (!contains(row, column))
            return;
        const size_t i = index(row, column);
        m_cells[i] = std::move(text);
        if (!m_parts.empty())
            m_parts[i].size = -1;
    }

    // Keeps line as the text that setPart cuts the cells of row from, in place of the one kept
    // before; the parts already taken from the old line are kept by their own texts. A row
    // outside the table is ignored.
    void setLine(int row, QString line) {
        if (row < 0 || row >= m_rows)
            return;
        if (m_lines.empty()) {
            m_lines.resize(static_cast<size_t>(m_rows));
            m_parts.assign(cellCount(), Part());
        }
        QString& kept = m_lines[static_cast<size_t>(row)];
        if (!kept.isEmpty())
            for (int column = 0; column < m_columns; ++column)
                if (m_parts[index(row, column)].size >= 0)
                    set(row, column, at(row, column));
        kept = std::move(line);
    }

    // Stores the part [from, from + size) of the row's line (see setLine) as the cell's text; a
    // place outside the table, a part outside the line or beyond 2^31 units is ignored.
    void setPart(int row, int column, qsizetype from, qsizetype size) {
        if (!contains(row, column) || m_lines.empty() || from < 0 || size < 0 ||
            from + size > m_lines[static_cast<size_t>(row)].size() ||
            from + size > std::numeric_limits<qint32>::max())
            return;
        const size_t i = index(row, column);
        m_cells[i] = QString();
        m_parts[i] = {static_cast<qint32>(from), static_cast<qint32>(size)};
    }

    bool contains(int row, int column) const {
        return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
    }

private:
    // 32 bits a number: a table of every record holds one part a field.
    struct Part {
        qint32 from = 0;
        qint32 size = -1; // -1: the cell holds a text of its own
    };

    size_t cellCount() const {
        return static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns);
    }
    size_t index(int row, int column) const {
        return static_cast<size_t>(row) * static_cast<size_t>(m_columns) +
               static_cast<size_t>(column);
    }

    int m_rows = 0;
    int m_columns = 0;
    std::vector<QString> m_cells;
    std::vector<Part> m_parts;    // per cell, empty until a line is kept
    std::vector<QString> m_lines; // per row, empty until a line is kept
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
