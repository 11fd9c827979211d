#pragma once

#include <QString>
#include <Qt>
#include <optional>
#include <vector>

namespace pelmar::app {

// What a screen laid over the grid leaves of it: the test-print screen prints the record chosen
// in the grid, so the grid stays in use beside it; every other screen hides it.
enum class OverGrid { Hides, KeepsInUse };

// Whether the grid may take the keyboard focus while these screens are shown: not while any of
// them hides it, so Tab never lands on rows the operator cannot see.
bool gridTakesFocus(const std::vector<OverGrid>& shown);

// Whether a key typed in the grid reaches it: the keys that move the chosen record do; text does
// not, as a keyboard search would choose another record while the operator means to type a
// quantity.
bool gridTakesKey(const QString& text, Qt::KeyboardModifiers modifiers);

// The grid's rows as seen through its viewport, in pixels of the viewport; rows 0-based.
struct GridRows {
    int rowHeight = 1;
    int viewportHeight = 0;
    int coveredTop = 0; // a screen lies over [coveredTop, coveredBottom)
    int coveredBottom = 0;
    int rowCount = 0;
    int topRow = 0;
    int currentRow = 0;
};

// The top row that shows the current row whole and clear of the screen over the grid, nearest to
// the present top row; nullopt when it shows already, or no scrolling can show it.
std::optional<int> topRowShowingCurrent(const GridRows& rows);

} // namespace pelmar::app
