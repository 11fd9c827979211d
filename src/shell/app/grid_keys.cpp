#include "shell/app/grid_keys.h"

#include <algorithm>
#include <cstdlib>

namespace pelmar::app {

bool gridTakesFocus(const std::vector<OverGrid>& shown) {
    return std::all_of(shown.begin(), shown.end(),
                       [](OverGrid over) { return over == OverGrid::KeepsInUse; });
}

bool gridTakesKey(const QString& text, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return true;
    return text.isEmpty() || !text.front().isPrint();
}

std::optional<int> topRowShowingCurrent(const GridRows& rows) {
    if (rows.rowHeight <= 0 || rows.currentRow < 0 || rows.currentRow >= rows.rowCount)
        return std::nullopt;
    const auto clear = [&](int top) {
        const int y = (rows.currentRow - top) * rows.rowHeight;
        const int bottom = y + rows.rowHeight;
        return y >= 0 && bottom <= rows.viewportHeight &&
               (bottom <= rows.coveredTop || y >= rows.coveredBottom);
    };
    if (clear(rows.topRow))
        return std::nullopt;
    const int visible = rows.viewportHeight / rows.rowHeight;
    const int lastTop = std::max(0, rows.rowCount - visible);
    std::optional<int> best;
    for (int top = std::max(0, rows.currentRow - visible);
         top <= std::min(rows.currentRow, lastTop); ++top)
        if (clear(top) && (!best || std::abs(top - rows.topRow) < std::abs(*best - rows.topRow)))
            best = top;
    return best;
}

} // namespace pelmar::app
