#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace pelmar::barcode {

// The linear symbologies the printers draw.
enum class Symbology {
    Code128,
    Code128Manual, // Code 128 whose subsets the data chooses with !nnn escapes
    Gs1_128,
    Interleaved2Of5,
    Code39,
    Code39Extended, // full ASCII Code 39
    Code93,
    Ean, // EAN-8 or EAN-13, by the data's length
    UpcA,
    UpcE,
    Codabar,
    Postnet,
    Msi,
    Plessey,
    Itf14,
    Ean14,
    Code11,
    Telepen,
    TelepenNumeric,
    Planet,
    Code49,
    DeutschePostIdentcode,
    DeutschePostLeitcode,
    Logmars,
};

// An encoded symbol as rows of modules, or the reason the data could not be encoded.
struct Symbol {
    int rows = 0;
    int columns = 0;
    std::vector<std::uint8_t> modules; // rows x columns, row after row; 1 is dark
    std::vector<float> rowHeights;     // relative heights of the rows of a stacked symbol
    QString text;                      // the human-readable text under a linear symbol
    QString error;                     // empty when the symbol was encoded
    bool outOfMemory = false;

    bool ok() const { return error.isEmpty(); }
    bool dark(int row, int column) const {
        return modules[static_cast<size_t>(row) * static_cast<size_t>(columns) +
                       static_cast<size_t>(column)] != 0;
    }
};

// How data bytes are read: as they stand (the printer's code page) or as UTF-8 text.
enum class DataKind { Bytes, Utf8 };

struct LinearOptions {
    Symbology symbology = Symbology::Code128;
    bool checkDigit = false;          // add the optional check digit (Code 39, 2 of 5, MSI)
    bool dataHoldsCheckDigit = false; // EAN data ends in its check digit, which is verified
    DataKind kind = DataKind::Bytes;
};

// GS1-128 data writes its application identifiers in parentheses when it holds "(", otherwise
// in square brackets.
Symbol encodeLinear(const LinearOptions& options, const QByteArray& data);

struct Pdf417Options {
    int errorLevel = -1; // 0..8; -1 automatic
    int columns = 0;     // data columns 1..30; 0 automatic
    int rows = 0;        // 3..90; 0 automatic
    bool truncated = false;
};
Symbol encodePdf417(const Pdf417Options& options, const QByteArray& data);

struct DataMatrixOptions {
    int rows = 0; // the symbol's size; 0 x 0 chooses the smallest that holds the data
    int columns = 0;
    bool rectangle = false; // an automatic size may be rectangular
};
// An error names a rows x columns size that ECC 200 does not have.
Symbol encodeDataMatrix(const DataMatrixOptions& options, const QByteArray& data);

// errorLevel is L, M, Q or H; anything else is L.
Symbol encodeQrCode(char errorLevel, const QByteArray& data);

} // namespace pelmar::barcode
