// libFuzzer target for the field-expression evaluator with the price rule: any content expression
// over any record must give a text or RunError 5 or 6.
#include "common/run_error.h"
#include "fuzz_support.h"
#include "print_command/field_expression.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    state::WorkingState state;
    const int fields = input.ConsumeIntegralInRange(0, 8);
    const int records = input.ConsumeIntegralInRange(0, 3);
    state.fieldCount = static_cast<std::int16_t>(fields);
    state.recordCount = static_cast<std::int16_t>(records);
    // Sometimes the table is smaller than the counts claim: reads outside must stay empty.
    const bool shortTable = input.ConsumeBool();
    state.records.recreate(records + (shortTable ? 0 : 1), fields + (shortTable ? 0 : 1));
    for (int r = 1; r <= records; ++r)
        for (int f = 1; f <= fields; ++f)
            state.records.set(r, f, QString::fromStdString(input.ConsumeRandomLengthString(12)));
    state.editPrice = input.ConsumeIntegralInRange<std::int16_t>(-1, 2);
    state.editPriceField = input.ConsumeIntegralInRange<std::int16_t>(-1, 9);
    state.adPrice = input.ConsumeIntegral<std::int32_t>();
    const int record = input.ConsumeIntegralInRange(-1, records + 1);
    const QString expression = QString::fromStdString(input.ConsumeRemainingBytesAsString());
    for (const bool resolve : {true, false}) {
        try {
            if (resolve)
                print_command::ResolveContent(state, expression, record);
            else
                print_command::EvaluateFieldExpression(state, expression, record);
        } catch (const common::RunError& error) {
            if (error.number() != common::InvalidArgument && error.number() != common::Overflow)
                abort();
        }
    }
    return 0;
}
