#pragma once

#include "common/run_error.h"

#include <QString>

namespace pelmar::print_command {

// A record whose label must not print: the printer's commands cannot carry it (a control
// character in a barcode, a string over the printer's limit), its barcode data cannot be encoded,
// or its price is no number to adjust. Nothing of its label is sent. A run leaves the record out
// and goes on; elsewhere it is the run-time error 5 with the element and the reason.
class LabelRefused : public common::RunError {
public:
    // An empty element: the value was refused where the element is not known (a field
    // expression); the composer names it with of().
    LabelRefused(QString element, QString reason)
        : common::RunError(common::InvalidArgument,
                           element.isEmpty() ? reason : element + QStringLiteral(": ") + reason),
          m_element(std::move(element)), m_reason(std::move(reason)) {}

    const QString& element() const { return m_element; }
    const QString& reason() const { return m_reason; }

    // The same refusal named after the element it happened in.
    LabelRefused of(const QString& element) const { return LabelRefused(element, m_reason); }

private:
    QString m_element;
    QString m_reason;
};

} // namespace pelmar::print_command
