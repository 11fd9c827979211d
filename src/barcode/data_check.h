#pragma once

#include "barcode/symbol.h"
#include "barcode/type_names.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace pelmar::barcode {

// The symbol a barcode of `type` draws for data given as text, or in symbol.error why the
// symbology cannot hold the data, in Traditional Chinese: no data; EAN and UPC data that is not
// digits only, or not as many digits as the type holds without its check digit or with it (that
// digit is then verified), an add-on's digits last; a character the symbology cannot hold; a
// length limit. "128M" data is read with its !nnn escapes. outOfMemory when memory ran out.
Symbol encodeBarcodeText(const BarcodeType& type, const QString& data);

// Why the printer cannot draw data as a BARCODE of the type it names `typeName` (letter case
// ignored), in Traditional Chinese; empty when it can. A type the printer does not know is a
// reason too; "CPOST", which the printer knows and nothing here encodes, passes unchecked.
QString printerBarcodeRefusal(const QByteArray& typeName, const QString& data);

// Why a PDF417 symbol with the options of a PDF417 command's parameters ("x,y,width,height,
// rotate[,options]": E error level, R rows, C columns, T1 truncated) cannot hold content (the
// bytes the symbol holds), in Traditional Chinese; empty when it can.
QString pdf417Refusal(QStringView parameters, const QByteArray& content);

// The same for a DMATRIX command's parameters ("x,y,width,height[,c#,x#,r#,a#,row,col]"): the
// symbol size of row and col (a size ECC 200 does not have is left to the printer: any size is
// then tried), a1 for rectangles.
QString dataMatrixRefusal(QStringView parameters, const QByteArray& content);

} // namespace pelmar::barcode
