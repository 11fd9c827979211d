#pragma once

class QTableView;

namespace pelmar::gui {

// Keeps column 0 of a grid (the record numbers) in view while the other columns scroll
// sideways: a second view over the grid's left edge shows that column, sharing the grid's model,
// selection and vertical scrolling. The overlay belongs to the grid.
void freezeFirstColumn(QTableView* grid);

} // namespace pelmar::gui
