#pragma once

#include "format/format_problem.h"

#include <QString>
#include <QStringView>

namespace pelmar::format {

// The print mode a format file is written for: "Send Command" (LoadFormat) or "Driver"
// (LoadFormat_Driver).
enum class FormatMode { Command, Driver };

// The label the elements must lie on, in millimetres; a side is 0 when its setting is unusable
// (that setting is a problem of its own, and nothing is measured against it).
struct LabelArea {
    double widthMm = 0;
    double heightMm = 0;
};

// What the element checks need besides the line itself.
struct ElementCheckContext {
    FormatMode mode = FormatMode::Command;
    LabelArea label;
    QString programFolder; // where the pictures are
};

// Whether the mode draws elements of this keyword: Line, Box, F_Text, V_Text, F_Barcode,
// V_Barcode and Graphic in both modes, PDF417 and DMATRIX in command mode only.
bool isElementKeyword(FormatMode mode, QStringView key);

// Appends the problems of one element line (a keyword isElementKeyword accepts) to out: too few
// values; a coordinate, size or 16-bit parameter that is no number or lies outside its range or
// the label (command-mode dots are measured at 12 dots a millimetre, so that a 300-dpi format
// fits); a barcode type or font that is not known; fixed barcode data that cannot be encoded; a
// picture that is missing, unreadable or larger than the label. Field expressions are not read.
void checkElementLine(const ElementCheckContext& context, int line, const QString& key,
                      const QString& value, FormatProblems& out);

} // namespace pelmar::format
