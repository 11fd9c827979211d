#pragma once

#include <QString>
#include <QStringList>

namespace pelmar::test {

// The pages of a PDF as grey pictures at dpi (pdftoppm), in page order, written into folder.
QStringList rasterise(const QString& pdf, int dpi, const QString& folder);

// What the barcode scanner (zbarimg) reads on a picture, as "SYMBOLOGY:content", sorted.
QStringList scan(const QString& picture);

} // namespace pelmar::test
