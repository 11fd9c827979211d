#include "common/system_error_text.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// strerror's words, Qt's own for a few numbers, other numbers, and texts that are no such words.
TEST(SystemErrorText, SystemWordsBecomeChineseAndOtherTextsStay) {
    using pelmar::common::systemErrorText;
    EXPECT_EQ(systemErrorText(QString::fromLocal8Bit(std::strerror(EBADF))),
              systemErrorText(EBADF));
    EXPECT_FALSE(systemErrorText(EBADF).contains(QStringLiteral("Bad")));
    EXPECT_EQ(systemErrorText(QStringLiteral("Permission denied")), QStringLiteral("沒有存取權限"));
    EXPECT_EQ(systemErrorText(EDOM), QStringLiteral("系統錯誤 EDOM"));
    EXPECT_EQ(systemErrorText(QStringLiteral("印表機佇列已停止")),
              QStringLiteral("印表機佇列已停止"));
}

} // namespace
