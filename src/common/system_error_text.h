#pragma once

#include <QString>

namespace pelmar::common {

// The Traditional Chinese text of a C library error number (errno): the failures a shop meets
// (missing file, no permission, full disk, refused or broken connection, unplugged device) in
// words, any other as "系統錯誤 ENAME".
QString systemErrorText(int errnum);

// A system error message in Traditional Chinese: a text that is the C library's message for an
// error number (strerror, and Qt's errorString of a file or socket, which carries it) becomes
// systemErrorText of that number; any other text is returned as it is.
QString systemErrorText(const QString& text);

// The Traditional Chinese text of a getaddrinfo() failure (its EAI_ status).
QString hostLookupErrorText(int status);

} // namespace pelmar::common
