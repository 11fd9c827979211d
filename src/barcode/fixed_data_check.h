#pragma once

#include "barcode/type_names.h"

#include <QString>

namespace pelmar::barcode {

// Why data written into a format cannot be drawn as a barcode of `type`, in Traditional Chinese
// (no data, a character the symbology cannot hold, a wrong length or check digit); empty when it
// can. EAN and UPC data may be given with or without the check digit (an EAN check digit is
// verified); add-on digits are the data's last ones.
QString fixedDataRefusal(const BarcodeType& type, const QString& data);

} // namespace pelmar::barcode
