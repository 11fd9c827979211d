#pragma once

#include <QString>

namespace pelmar::barcode {

// The encoder's reason for refusing data (zint's English text, or our Code 128 encoder's), told
// in Traditional Chinese for the operator: a wrong check digit with the digit it should be, the
// first character the symbology cannot hold with its position, a length limit, a missing start
// or stop character. A reason without a translation keeps the encoder's text after a Chinese
// lead-in.
QString refusalReason(const QString& encoderText, const QString& data);

// The reason for data of digits only that holds something else, naming the first such character.
QString digitsOnlyReason(const QString& data);

} // namespace pelmar::barcode
