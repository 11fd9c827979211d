#pragma once

#include "state/working_state.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace pelmar::gui {

// The key filter of the number boxes: a typed digit or Backspace passes, any other typed
// character (and a paste shortcut, which types no digit) is discarded before it reaches the box.
// Editing keys that type nothing (arrows, Delete, Tab, Enter, Escape) pass.
class DigitsOnlyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs a DigitsOnlyFilter (owned by the box) on a text box.
void installDigitsOnlyFilter(QLineEdit* box);

// The price adjustment a price box's text spells (its leading number, 0 for an empty box), or
// nothing when that number is beyond the 32-bit range.
std::optional<std::int32_t> priceFromText(const QString& text);

// Makes a price box (txtADPrice1, txtADPrice2) edit ADPrice on every change of its text. A
// change that would spell a number beyond the 32-bit range is taken back, so the box never
// shows an amount other than the one that is saved.
void connectPriceBox(QLineEdit* box, state::WorkingState& state);

} // namespace pelmar::gui
