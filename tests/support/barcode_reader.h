#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

namespace pelmar::test {

// Bar and space widths in dots along row y from the first black dot to the last, bar first,
// looking at columns from..to-1 only (to -1: the label's width).
std::vector<int> scanRuns(const QImage& label, int y, int from = 0, int to = -1);

// The data of a Code 128 symbol read from its runs (start code, check value and stop
// verified); nothing when the runs are not a valid symbol. FNC codes are left out.
std::optional<QByteArray> readCode128(const std::vector<int>& runs);

// The 13 digits of an EAN-13 symbol read from its runs (guards and check digit verified).
std::optional<QByteArray> readEan13(const std::vector<int>& runs);

} // namespace pelmar::test
