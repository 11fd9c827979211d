#include "preview/tspl_interpreter.h"

#include "preview/barcode_renderer.h"
#include "preview/tspl_command.h"

#include <algorithm>
#include <cstring>

// Barcodes and 2D symbols: BARCODE, PDF417, DMATRIX and QRCODE.

namespace pelmar::preview {

namespace {

DotBitmap cropped(const DotBitmap& piece, int width, int height) {
    DotBitmap out(std::min(piece.width, width), std::min(piece.height, height));
    for (int y = 0; y < out.height; ++y)
        std::memcpy(&out.at(0, y), &piece.dots[static_cast<size_t>(y) * piece.width], out.width);
    return out;
}

} // namespace

void TsplInterpreter::doBarcode(const Command& c) {
    // BARCODE x,y,"type",height,readable,rotation,narrow,wide[,alignment],"content"
    if (c.args.size() != 9 && c.args.size() != 10) {
        warnAt(QStringLiteral("BARCODE count"),
               QStringLiteral("BARCODE: needs 9 or 10 parameters; command ignored"));
        return;
    }
    int pos[2];
    int v[5];
    if (!numbers(c, 0, 2, pos) || !numbers(c, 3, 5, v))
        return;
    int alignment = 0;
    if (c.args.size() == 10 && !numbers(c, 8, 1, &alignment))
        return;
    const TsplArgument& content = c.args.back();
    if (!content.quoted) {
        warnAt(QStringLiteral("BARCODE content"),
               QStringLiteral("BARCODE: content is not a quoted string; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[5].text);
    if (!turns) {
        warnAt(QStringLiteral("BARCODE rotation"),
               QStringLiteral("BARCODE: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    BarcodeRequest request;
    request.type = c.args[2].text;
    request.content = content.text;
    request.height = v[0];
    request.readable = v[1];
    request.narrow = v[3];
    request.wide = v[4];
    const SymbolResult result = renderBarcode(request, m_text);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("BARCODE ") + QString::fromLatin1(request.type.toUpper()) +
                   result.error,
               QStringLiteral("BARCODE \"%1\": %2; not drawn")
                   .arg(printable(request.type), result.error));
        return;
    }
    const int w = result.bitmap.width;
    const int offset = alignment == 2 ? -w / 2 : (alignment == 3 ? -w : 0);
    place(result.bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, offset, *turns);
}

void TsplInterpreter::doPdf417(const Command& c) {
    // PDF417 x,y,width,height,rotate,[options,]"content"
    int v[4];
    if (c.args.size() < 6 || !numbers(c, 0, 4, v)) {
        if (c.args.size() < 6)
            warnAt(QStringLiteral("PDF417 count"),
                   QStringLiteral("PDF417: too few parameters; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[4].text);
    if (!turns) {
        warnAt(QStringLiteral("PDF417 rotation"),
               QStringLiteral("PDF417: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    Pdf417Request request;
    request.content = m_hasLengthContent ? m_lengthContent : c.args.back().text;
    if (m_hasLengthContent && !c.args.back().text.isEmpty())
        warnAt(QStringLiteral("PDF417 after content"),
               QStringLiteral("PDF417: \"%1\" after the content of the length option ignored")
                   .arg(printable(c.args.back().text)));
    for (size_t k = 5; k + 1 < c.args.size(); ++k) {
        const QByteArray option = c.args[k].text.toUpper();
        const std::optional<int> value =
            option.size() > 1 ? parseDots(QByteArrayView(option).sliced(1)) : std::nullopt;
        const char letter = option.isEmpty() ? ' ' : option[0];
        if (!value || !QByteArray("PEMWHRCTL").contains(letter)) {
            warnAt(QStringLiteral("PDF417 option ") + QString::fromLatin1(option),
                   QStringLiteral("PDF417: option \"%1\" unknown; ignored").arg(printable(option)));
            continue;
        }
        switch (letter) {
        case 'E':
            request.errorLevel = *value;
            break;
        case 'W':
            request.moduleWidth = *value;
            break;
        case 'H':
            request.rowHeight = *value;
            break;
        case 'R':
            request.rows = *value;
            break;
        case 'C':
            request.columns = *value;
            break;
        case 'T':
            request.truncated = *value == 1;
            break;
        default:
            // Compression, centre pattern and length change nothing in the picture.
            break;
        }
    }
    SymbolResult result = renderPdf417(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("PDF417 ") + result.error,
               QStringLiteral("PDF417: %1; not drawn").arg(result.error));
        return;
    }
    if (v[2] > 0 && v[3] > 0 && (result.bitmap.width > v[2] || result.bitmap.height > v[3])) {
        warnAt(QStringLiteral("PDF417 clipped"),
               QStringLiteral("PDF417: the symbol (%1 x %2 dots) is larger than its area; clipped")
                   .arg(result.bitmap.width)
                   .arg(result.bitmap.height));
        result.bitmap = cropped(result.bitmap, v[2], v[3]);
    }
    place(result.bitmap, v[0] + m_setup.referenceX, v[1] + m_setup.referenceY, 0, *turns);
}

void TsplInterpreter::doDataMatrix(const Command& c) {
    // DMATRIX x,y,width,height,[c#,x#,r#,a#,row,col,]"content"
    int v[4];
    if (c.args.size() < 5 || !numbers(c, 0, 4, v)) {
        if (c.args.size() < 5)
            warnAt(QStringLiteral("DMATRIX count"),
                   QStringLiteral("DMATRIX: too few parameters; command ignored"));
        return;
    }
    DataMatrixRequest request;
    request.content = c.args.back().text;
    request.area = v[2] > 0 && v[3] > 0 ? std::min(v[2], v[3]) : 0;
    int turns = 0;
    int plain = 0;
    int escape = 0;
    for (size_t k = 4; k + 1 < c.args.size(); ++k) {
        const QByteArray option = c.args[k].text.toUpper();
        const bool lettered = !option.isEmpty() && option[0] >= 'A' && option[0] <= 'Z';
        const std::optional<int> value =
            parseDots(lettered ? QByteArrayView(option).sliced(1) : QByteArrayView(option));
        if (!value || (lettered && !QByteArray("CXRA").contains(option[0])) ||
            (!lettered && plain >= 2)) {
            warnAt(
                QStringLiteral("DMATRIX option ") + QString::fromLatin1(option),
                QStringLiteral("DMATRIX: option \"%1\" unknown; ignored").arg(printable(option)));
            continue;
        }
        if (!lettered) {
            (plain++ == 0 ? request.rows : request.columns) = *value;
        } else if (option[0] == 'X') {
            request.moduleSize = *value;
        } else if (option[0] == 'R') {
            const std::optional<int> t = quarterTurns(QByteArray::number(*value));
            if (t)
                turns = *t;
        } else if (option[0] == 'A') {
            request.rectangle = *value == 1;
        } else if (option[0] == 'C') {
            escape = *value;
        }
    }
    if (escape > 0 && escape < 256) {
        bool malformed = false;
        request.content = decodeEscapes(request.content, static_cast<char>(escape), &malformed);
        if (malformed)
            warnAt(QStringLiteral("DMATRIX escape"),
                   QStringLiteral("DMATRIX: an escape character (c%1) not followed by a known code "
                                  "is kept as it stands")
                       .arg(escape));
    }
    if (plain == 1)
        request.columns = request.rows;
    SymbolResult result = renderDataMatrix(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("DMATRIX ") + result.error,
               QStringLiteral("DMATRIX: %1; not drawn").arg(result.error));
        return;
    }
    if (v[2] > 0 && v[3] > 0 && (result.bitmap.width > v[2] || result.bitmap.height > v[3])) {
        warnAt(QStringLiteral("DMATRIX clipped"),
               QStringLiteral("DMATRIX: the symbol (%1 x %2 dots) is larger than its area; "
                              "clipped")
                   .arg(result.bitmap.width)
                   .arg(result.bitmap.height));
        result.bitmap = cropped(result.bitmap, v[2], v[3]);
    }
    place(result.bitmap, v[0] + m_setup.referenceX, v[1] + m_setup.referenceY, 0, turns);
}

void TsplInterpreter::doQrCode(const Command& c) {
    // QRCODE x,y,ECC,cellWidth,mode,rotation,[model,mask,]"content"
    int pos[2];
    int cell = 0;
    if (c.args.size() < 7 || !numbers(c, 0, 2, pos) || !numbers(c, 3, 1, &cell)) {
        if (c.args.size() < 7)
            warnAt(QStringLiteral("QRCODE count"),
                   QStringLiteral("QRCODE: too few parameters; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[5].text);
    const QByteArray level = c.args[2].text.toUpper();
    if (!turns || level.size() != 1 || !QByteArray("LMQH").contains(level[0])) {
        warnAt(QStringLiteral("QRCODE value"),
               QStringLiteral("QRCODE: error level or rotation unknown; command ignored"));
        return;
    }
    QrRequest request;
    request.content = c.args.back().text;
    request.errorLevel = level[0];
    request.cellWidth = cell;
    const SymbolResult result = renderQrCode(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("QRCODE ") + result.error,
               QStringLiteral("QRCODE: %1; not drawn").arg(result.error));
        return;
    }
    place(result.bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, 0, *turns);
}

} // namespace pelmar::preview
