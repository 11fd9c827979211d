#include "shell/gui/number_boxes.h"

#include "common/numbers.h"
#include "common/run_error.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace pelmar::gui {

bool DigitsOnlyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste))
        return true;
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.isDigit() && c.unicode() < 128)
        return false;
    // Backspace, Tab, Enter and Escape type control characters; they keep their usual meaning.
    if (c.unicode() < 32 || c.unicode() == 127)
        return false;
    return true;
}

void installDigitsOnlyFilter(QLineEdit* box) {
    box->installEventFilter(new DigitsOnlyFilter(box));
}

std::optional<std::int32_t> priceFromText(const QString& text) {
    try {
        return common::leadingInt32(text);
    } catch (const common::RunError&) {
        return std::nullopt;
    }
}

void connectPriceBox(QLineEdit* box, state::WorkingState& state) {
    // The last text that spelled a representable amount, to go back to.
    auto accepted = std::make_shared<QString>(box->text());
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [box, &state, accepted](const QString& text) {
                         if (const std::optional<std::int32_t> price = priceFromText(text)) {
                             state.adPrice = *price;
                             *accepted = text;
                             return;
                         }
                         const int cursor = box->cursorPosition() -
                                            static_cast<int>(text.size() - accepted->size());
                         const QSignalBlocker block(box);
                         box->setText(*accepted);
                         box->setCursorPosition(std::max(0, cursor));
                         QApplication::beep();
                     });
}

} // namespace pelmar::gui
