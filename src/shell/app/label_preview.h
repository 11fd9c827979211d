#pragma once

#include "print_queue/print_system.h"
#include "state/working_state.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace pelmar::app {

// One element of a previewed format: the line of the format text it comes from and where it
// lies on the picture, in the picture's pixels.
struct PreviewElement {
    int line = 0; // 1-based line of the format text
    QRect box;
};

// A fault of a previewed format at its line (0: the format as a whole).
struct PreviewProblem {
    int line = 0;
    bool error = true; // false: a warning, the label still prints
    QString text;      // Traditional Chinese
};

// A label as the printer will print it, before anything is printed. An error among the problems
// means a run would refuse the format; the picture still shows what its elements draw.
struct LabelPreview {
    QImage picture;                 // null when the label cannot be drawn
    double dotsPerMillimetre = 8.0; // of the picture: the printer's dots
    std::vector<PreviewElement> elements;
    std::vector<PreviewProblem> problems;
    QString cannotDraw; // empty, or why this record cannot be drawn (barcode data refused, ...)
};

// Draws record `record` (1-based) of state's records with the format text formatText (the bytes
// of a format file in the settings' code page, saved or not) in state's print mode, the way the
// printer will print it: "Send Command" mode through the composed printer commands and the
// virtual printer's renderer, "Driver" mode as the page at the printer's resolution. Never
// prints, never opens a port, never changes state, never throws.
LabelPreview previewLabel(const state::WorkingState& state, const QByteArray& formatText,
                          int record, const QDate& today);

// The same, asking `system` for the resolution of the printer's queue in "Driver" mode (the one
// above asks this machine's CUPS; no system means 203 dpi).
LabelPreview previewLabel(const state::WorkingState& state, const QByteArray& formatText,
                          int record, const QDate& today, print_queue::PrintSystem* system);

} // namespace pelmar::app
