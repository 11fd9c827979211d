#include "common/run_error.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace pelmar::common {
namespace {

CaughtError caughtFrom(const std::function<void()>& fail) {
    try {
        fail();
    } catch (...) {
        return caughtError();
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}

TEST(CaughtErrorTest, EveryKindOfFailureHasANumberAndADescription) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        int number;
        QString description;
    } cases[] = {
        {"run-time error", [] { throw RunError(PrinterError, QStringLiteral("印表機離線")); },
         PrinterError, QStringLiteral("印表機離線")},
        {"standard description", [] { throw RunError(FileNotFound); }, FileNotFound,
         QStringLiteral("找不到檔案")},
        {"standard exception", [] { throw std::runtime_error("disk gone"); }, -1,
         QStringLiteral("disk gone")},
        {"anything else", [] { throw 42; }, -1, QStringLiteral("發生錯誤 -1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CaughtError error = caughtFrom(c.fail);
        EXPECT_EQ(error.number, c.number);
        EXPECT_EQ(error.description, c.description);
    }
}

} // namespace
} // namespace pelmar::common
