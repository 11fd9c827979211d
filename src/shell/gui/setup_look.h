#pragma once

#include "common/code_page.h"

#include <QColor>
#include <QStringList>

class QAbstractButton;
class QGroupBox;
class QLineEdit;
class QListWidget;

namespace pelmar::gui {

// Colours of the setup screen that the rest of the window does not use.
namespace setupColours {
inline const QColor orange{255, 200, 128};
inline const QColor salmon{255, 176, 160};
} // namespace setupColours

// A group inside a panel (Frame1, Frame2): purple title; its controls in the window's font.
// Call it before giving single controls other fonts.
void styleGroup(QGroupBox* group);

// A small coloured button of the list editors: 9 pt caption, no picture, on two lines when one
// does not fit (style it after placing it).
void styleSmallButton(QAbstractButton* button, const QColor& colour);

// Limits a text box to texts that the code page writes in at most `bytes` bytes and can read
// back unchanged (a double-byte character does not fit a one-byte box). Typing and pasting that
// would break the limit are refused. The code page must outlive the box.
void limitToBytes(QLineEdit* box, int bytes, const common::CodePage& codePage);

// Replaces every entry of a list (the list's Click does not fire).
void replaceListEntries(QListWidget* list, const QStringList& entries);

// Makes a list show entries, changing only the rows that differ (a row that stays keeps its
// place and highlight; the list's Click does not fire).
void syncListEntries(QListWidget* list, const QStringList& entries);

} // namespace pelmar::gui
