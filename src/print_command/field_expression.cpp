#include "print_command/field_expression.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/label_refused.h"

#include <cmath>

namespace pelmar::print_command {

namespace {

// The field number a numeric value selects: rounded halves to even, capped at FieldCount.
int fieldNumber(const state::WorkingState& state, double value) {
    const int fieldCount = state.fieldCount;
    // Capping first keeps a huge number from overflowing: it selects the last field anyway.
    if (value > static_cast<double>(fieldCount) + 1.0)
        return fieldCount;
    const double rounded = std::nearbyint(value);
    if (rounded < 0.0)
        throw common::RunError(common::InvalidArgument);
    const int n = static_cast<int>(rounded);
    return n > fieldCount ? fieldCount : n;
}

QString numericPart(const state::WorkingState& state, QStringView part, int record) {
    const int n = fieldNumber(state, common::leadingNumber(part));
    const QString& field = state.records.at(record, n);
    if (state.editPrice != 1 || n != state.editPriceField)
        return field;
    // A price that is no number would be printed as the adjustment alone, an invented price.
    if (!common::isNumberText(common::trimBlanksView(field)))
        throw LabelRefused(
            {}, QStringLiteral("售價欄位 %1 的內容「%2」不是數字, 無法調整售價").arg(n).arg(field));
    const double sum = common::leadingNumber(field) + static_cast<double>(state.adPrice);
    if (!std::isfinite(sum))
        throw common::RunError(common::Overflow);
    return common::shortestDecimal(sum);
}

QString partYield(const state::WorkingState& state, QStringView part, int record) {
    if (common::isNumberText(part))
        return numericPart(state, part, record);
    if (part.compare(u"VBCR", Qt::CaseInsensitive) == 0)
        return QStringLiteral("\r");
    if (part.compare(u"VBLF", Qt::CaseInsensitive) == 0)
        return QStringLiteral("\n");
    if (part.compare(u"VBCRLF", Qt::CaseInsensitive) == 0)
        return QStringLiteral("\r\n");
    if (part.compare(u"VBTAB", Qt::CaseInsensitive) == 0)
        return QStringLiteral("\t");
    if (part.size() >= 3)
        return part.mid(1, part.size() - 2).toString();
    return part.toString();
}

} // namespace

QString ResolveContent(const state::WorkingState& state, const QString& expression, int record) {
    if (expression.contains(u'+'))
        return EvaluateFieldExpression(state, expression, record);
    const int n = fieldNumber(state, common::leadingNumber(expression));
    return state.records.at(record, n);
}

QString EvaluateFieldExpression(const state::WorkingState& state, const QString& expression,
                                int record) {
    QString result;
    QStringView rest(expression);
    for (qsizetype plus = rest.indexOf(u'+'); plus >= 0; plus = rest.indexOf(u'+')) {
        result += partYield(state, common::trimBlanksView(rest.left(plus)), record);
        rest = rest.mid(plus + 1);
    }
    if (!rest.isEmpty())
        result += partYield(state, common::trimBlanksView(rest), record);
    return result;
}

} // namespace pelmar::print_command
