#include "shell/app/password_gate.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

TEST(PasswordGate, UpperCasedEntryMustBeExactlyThePassword) {
    const struct {
        const char* typed;
        bool opens;
    } cases[] = {
        {"QJX", true}, {"qjx", true}, {"qJx", true},   {" QJX", false},   {"QJX ", false},
        {"", false},   {"QJ", false}, {"QJXX", false}, {"ＱＪＸ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passwordMatches(QString::fromUtf8(c.typed)), c.opens) << c.typed;
}

TEST(PasswordGate, TargetFollowsTheMenuChosenLast) {
    state::WorkingState state;
    EXPECT_EQ(openGate(state, PasswordTarget::Setup), QStringLiteral("[ 設定 ]"));
    EXPECT_EQ(openGate(state, PasswordTarget::TestPrint), QStringLiteral("[ 試印 ]"));
    EXPECT_EQ(state.passwordTarget, 1);
    EXPECT_EQ(gateTarget(state), PasswordTarget::TestPrint);
    EXPECT_EQ(openGate(state, PasswordTarget::Journal), QStringLiteral("[ 列印記錄 ]"));
    EXPECT_EQ(gateTarget(state), PasswordTarget::Journal);
    openGate(state, PasswordTarget::Setup);
    EXPECT_EQ(gateTarget(state), PasswordTarget::Setup);
}

} // namespace
} // namespace pelmar::app
