#pragma once

#include "shell/app/label_preview.h"
#include "state/working_state.h"

#include <QDate>

namespace pelmar::app {

// Draws record `record` with state's loaded "Send Command" format into preview: the label's
// printer commands, composed as a run composes them, go straight into a virtual printer at 203
// dpi, whose printed picture is the preview; each element's box is where its commands drew.
// What the virtual printer could not draw becomes a warning. A record whose label is refused
// gives cannotDraw with the reason. Throws RunError for other failures (a text parameter that
// is no number).
void drawCommandPreview(const state::WorkingState& state, int record, const QDate& today,
                        LabelPreview& preview);

} // namespace pelmar::app
