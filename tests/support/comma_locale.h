#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace pelmar::test {

// A locale whose decimal separator is a comma (de_DE.UTF-8 or fr_FR.UTF-8): name is its name,
// folder its LOCPATH (empty when the system itself has it).
struct CommaLocale {
    QByteArray name;
    QByteArray folder;
};

// The comma locale of the system, or one built once with localedef into the build folder and
// kept there for later test programs; nothing when neither can be had (no localedef or no
// locale sources). Sets LOCPATH of this process to the built one.
const std::optional<CommaLocale>& commaLocale();

// An environment for a program started under the comma locale (LC_ALL and LOCPATH).
QProcessEnvironment commaLocaleEnvironment(const CommaLocale& locale);

// Sets LC_NUMERIC to the comma locale for its lifetime and then restores the one before, so a
// number that follows the process's locale shows up as a comma. Not active when there is none.
class CommaNumericScope {
public:
    CommaNumericScope();
    ~CommaNumericScope();
    CommaNumericScope(const CommaNumericScope&) = delete;
    CommaNumericScope& operator=(const CommaNumericScope&) = delete;

    bool active() const { return m_active; }

private:
    QByteArray m_before;
    bool m_active = false;
};

// Tests that run once under the locale the program started with and once under the comma
// locale (skipped when there is none): instantiate with PELMAR_UNDER_EACH_LOCALE(Suite).
class UnderEachLocale : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override;
    void TearDown() override { m_comma.reset(); }

private:
    std::unique_ptr<CommaNumericScope> m_comma;
};

// The name of a parameter of UnderEachLocale: AsStarted or CommaDecimal.
std::string localeParamName(const ::testing::TestParamInfo<bool>& info);

} // namespace pelmar::test

#define PELMAR_UNDER_EACH_LOCALE(suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(Locales, suite, ::testing::Values(false, true),                       \
                             pelmar::test::localeParamName)
