#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace pelmar::test {

// One label of an EPL2 stream: "q" gives the width in dots, each "GWx,y,bytes,rows" a block of
// rows whose 0 bits are ink, "P" ends the label.
struct EplLabel {
    int widthDots = 0;
    QImage image; // white, ink black; as tall as the lowest row drawn
};

// The labels of an EPL2 stream as a label printer's driver writes them, in order.
std::vector<EplLabel> decodeEpl(const QByteArray& stream);

} // namespace pelmar::test
