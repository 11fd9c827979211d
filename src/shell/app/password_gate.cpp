#include "shell/app/password_gate.h"

namespace pelmar::app {

QString gateTitle(PasswordTarget target) {
    switch (target) {
    case PasswordTarget::TestPrint:
        return QStringLiteral("[ 試印 ]");
    case PasswordTarget::Journal:
        return QStringLiteral("[ 列印記錄 ]");
    case PasswordTarget::Setup:
        break;
    }
    return QStringLiteral("[ 設定 ]");
}

QString openGate(state::WorkingState& state, PasswordTarget target) {
    state.passwordTarget = static_cast<std::int16_t>(target);
    return gateTitle(target);
}

bool passwordMatches(const QString& typed) {
    return typed.toUpper() == kGatePassword;
}

PasswordTarget gateTarget(const state::WorkingState& state) {
    switch (state.passwordTarget) {
    case static_cast<std::int16_t>(PasswordTarget::TestPrint):
        return PasswordTarget::TestPrint;
    case static_cast<std::int16_t>(PasswordTarget::Journal):
        return PasswordTarget::Journal;
    default:
        return PasswordTarget::Setup;
    }
}

} // namespace pelmar::app
