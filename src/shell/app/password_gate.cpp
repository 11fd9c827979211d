#include "shell/app/password_gate.h"

namespace pelmar::app {

QString gateTitle(PasswordTarget target) {
    return target == PasswordTarget::TestPrint ? QStringLiteral("[ 試印 ]")
                                               : QStringLiteral("[ 設定 ]");
}

QString openGate(state::WorkingState& state, PasswordTarget target) {
    state.passwordTarget = static_cast<std::int16_t>(target);
    return gateTitle(target);
}

bool passwordMatches(const QString& typed) {
    return typed.toUpper() == kGatePassword;
}

PasswordTarget gateTarget(const state::WorkingState& state) {
    return state.passwordTarget == static_cast<std::int16_t>(PasswordTarget::TestPrint)
               ? PasswordTarget::TestPrint
               : PasswordTarget::Setup;
}

} // namespace pelmar::app
