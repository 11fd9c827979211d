#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace pelmar::format {

// Something wrong with a format file, found when it is loaded. An error stops the load before
// anything is printed; a warning (a line that does nothing) lets the run go on and is told.
struct FormatProblem {
    enum class Severity { Error, Warning };

    int line = 0;  // line number in the file, from 1; 0 when no line says it (a missing setting)
    QString key;   // the line's key, or the missing setting's; empty for a line without "="
    QString value; // the line's value (its whole text without "="), or a value kept from an
                   // earlier load
    QString text;  // what is wrong, in Traditional Chinese
    Severity severity = Severity::Error;

    bool isError() const { return severity == Severity::Error; }
};

using FormatProblems = std::vector<FormatProblem>;

// One problem as the operator reads it: "第 12 行 V_Barcode=18,206,XYZ,...: 印表機不認得條碼類型
// XYZ". A long value is cut short; a problem without a line begins with its key.
QString problemText(const FormatProblem& problem);

// Whether any of the problems is an error.
bool hasErrors(const FormatProblems& problems);

// The description of a load that the problems stop: a lead line, then the problems one per line
// (errors first, at most ten, then how many more), joined by carriage returns.
QString stoppingDescription(const FormatProblems& problems);

// The warnings as lines of a run's report, each naming the format file: at most ten, then how
// many more.
QStringList warningLines(const FormatProblems& problems, const QString& formatFileName);

} // namespace pelmar::format
