#pragma once

#include "shell/app/label_preview.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringView>
#include <map>

namespace pelmar::app {

// Whether key is a key of the format language (LabelWidth, V_Text, ...): letter case counts.
bool isFormatKey(QStringView key);

// The key of a format line ("V_Text" of "V_Text=18,96,..."), empty for a comment or a line
// without "=". Never throws.
QString formatKeyOf(QStringView line);

// The line of the element drawn at point (the picture's pixels): of the smallest box that holds
// it, so an element inside a frame wins over the frame. 0 when no element is there.
int elementLineAt(const LabelPreview& preview, QPoint point);

// The places of the elements of a format line (1-based), in the picture's pixels.
QList<QRect> elementBoxesOf(const LabelPreview& preview, int line);

// Where the pointer is (the picture's pixels) in the format's own units: printer dots in "Send
// Command" mode (printMode 0); in "Driver" mode the units of the element line lineText (twips
// for Line and Box, dots for the others), both when there is none; always with millimetres.
QString pointerPosition(const LabelPreview& preview, QPointF pixel, int printMode,
                        QStringView lineText);

// A fault as the list under the text shows it: its line first.
QString problemText(const PreviewProblem& problem);

// The lines (1-based) that have faults, true for a line with an error, false for warnings only.
std::map<int, bool> problemMarks(const LabelPreview& preview);

} // namespace pelmar::app
