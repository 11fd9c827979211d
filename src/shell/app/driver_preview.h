#pragma once

#include "shell/app/label_preview.h"
#include "state/working_state.h"

#include <QDate>

namespace pelmar::app {

// Draws record `record` with state's loaded "Driver" format into preview: the page a run draws
// for it (the same drawing, at dotsPerInch, the printer's resolution), each element's box where
// its drawing lies. A barcode its font refuses gives cannotDraw with the reason. Throws
// RunError for other failures (a missing picture, a box corner that is no number).
void drawDriverPreview(const state::WorkingState& state, int record, const QDate& today,
                       int dotsPerInch, LabelPreview& preview);

} // namespace pelmar::app
