#pragma once

#include "common/run_error.h"

#include <QString>

namespace pelmar::print_command {

// A record whose label the printer's commands cannot carry (a control character in a barcode, a
// string over the printer's limit): nothing of its label is sent. A run leaves the record out and
// goes on; elsewhere it is the run-time error 5 with the element and the reason.
class LabelRefused : public common::RunError {
public:
    LabelRefused(QString element, QString reason)
        : common::RunError(common::InvalidArgument, element + QStringLiteral(": ") + reason),
          m_element(std::move(element)), m_reason(std::move(reason)) {}

    const QString& element() const { return m_element; }
    const QString& reason() const { return m_reason; }

private:
    QString m_element;
    QString m_reason;
};

} // namespace pelmar::print_command
