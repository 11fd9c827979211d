#pragma once

#include "state/working_state.h"

#include <QString>

namespace pelmar::print_command {

// The content of a variable element for record r: the field chosen by the leading number of
// expression (0 when there is none, rounded halves to even, capped at FieldCount) when expression
// holds no "+", else EvaluateFieldExpression. Throws RunError(5) for a field number below 0.
QString ResolveContent(const state::WorkingState& state, const QString& expression, int record);

// The text of a field expression for record r: parts joined by "+", each a field number (with
// the price rule), VBCR/VBLF/VBCRLF/VBTAB, a literal between two characters (dropped) or a part of
// one or two characters as it is. Throws RunError(5) for a field number below 0, LabelRefused
// (without element) when the price field to adjust is not a number (blanks, a sign, digits with
// one decimal point) and RunError(6) when the adjusted price is not a finite number.
QString EvaluateFieldExpression(const state::WorkingState& state, const QString& expression,
                                int record);

} // namespace pelmar::print_command
