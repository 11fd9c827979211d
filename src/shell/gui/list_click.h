#pragma once

#include <functional>

class QListWidget;

namespace pelmar::gui {

// A list's Click event: `click` gets the row (0-based) of the selected entry whenever the
// selection changes, by the mouse or by the keyboard (arrows, Home, End, letters), and when the
// mouse clicks the entry that is already selected. A selection that becomes empty calls nothing.
// In a list without a highlighted entry, the first Up, Down or Home highlights the entry that
// the focus frame shows.
// The relay belongs to the list.
void onListClick(QListWidget* list, std::function<void(int row)> click);

} // namespace pelmar::gui
