#pragma once

#include <QString>
#include <exception>
#include <string>

namespace pelmar::common {

// Run-time error numbers of the program; each has a Traditional Chinese description.
enum ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    FileNotFound = 53,
    DeviceIoError = 57,
    PathFileAccessError = 75,
    InvalidPicture = 481,
    PrinterError = 482,
    DialogCancelled = 32755,
};

// Standard description of an error number ("發生錯誤 N" for numbers without one).
QString errorDescription(int number);

// A run-time error: ends the procedure where it happens and is reported by the one handler
// of the operation that called it (a message box with the description as its text).
class RunError : public std::exception {
public:
    explicit RunError(int number);
    RunError(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// A failure as its handler reports it: a run-time error's number and description, or -1 and the
// text of any other exception.
struct CaughtError {
    int number = -1;
    QString description;
};

// Inside a catch block: the exception being handled. Handlers catch with `catch (...)` and ask
// this, so that every kind of failure is reported the same way and none escapes a handler.
CaughtError caughtError();

} // namespace pelmar::common
