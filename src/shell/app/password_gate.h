#pragma once

#include "state/working_state.h"

#include <QString>
#include <cstdint>

namespace pelmar::app {

// The screen the password gate opens (the value of PasswordTarget).
enum class PasswordTarget : std::int16_t { TestPrint = 1, Setup = 2, Journal = 3 };

// The gate's fixed password; the entry is compared after conversion to upper case.
inline const QString kGatePassword = QStringLiteral("QJX");

// The title of FramePassword for a target: "[ 試印 ]", "[ 設定 ]" or "[ 列印記錄 ]".
QString gateTitle(PasswordTarget target);

// Opening the gate from a menu: PasswordTarget follows the menu chosen last. Returns the title.
QString openGate(state::WorkingState& state, PasswordTarget target);

// True when the typed text, upper-cased, is exactly the password (blanks are not trimmed).
bool passwordMatches(const QString& typed);

// The screen a correct password opens: the test-print screen for 1, the journal screen for 3,
// the setup screen otherwise.
PasswordTarget gateTarget(const state::WorkingState& state);

} // namespace pelmar::app
