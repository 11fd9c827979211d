// libFuzzer target for the date picture: any picture on any date of the calendar must give a
// text, and a fixed text without "Date=" must come back unchanged.
#include "fuzz_support.h"
#include "print_command/date_picture.h"

#include <QDate>
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
    // Years 1 to 9999 and a few beyond.
    const QDate date =
        QDate::fromJulianDay(input.ConsumeIntegralInRange<qint64>(1721426, 5373484 + 400));
    const QString picture = QString::fromStdString(input.ConsumeRemainingBytesAsString());
    print_command::formatDatePicture(date, picture);
    const QString fixed = print_command::fixedTextOrDate(picture, date);
    if (!picture.contains(QStringLiteral("Date=")) && fixed != picture)
        abort();
    print_command::formatDatePicture(QDate(), picture);
    return 0;
}
