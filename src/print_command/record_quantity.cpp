#include "print_command/record_quantity.h"

#include "common/numbers.h"

namespace pelmar::print_command {

std::int16_t recordQuantity(const state::WorkingState& state, int record) {
    return common::leadingInt16(state.records.at(record, state.fieldCount));
}

common::RunError quantityError(const common::RunError& error, int record, const QString& value) {
    return common::RunError(
        error.number(),
        error.description() +
            QStringLiteral(": 第 %1 筆資料的數量 \"%2\" 超過 32767").arg(record).arg(value));
}

common::LeftOutRecord negativeQuantity(int record, const QString& value) {
    return {record, QString(), QStringLiteral("數量 \"%1\" 小於 1, 未列印").arg(value)};
}

} // namespace pelmar::print_command
