#include "support/epl_labels.h"

#include <algorithm>

namespace pelmar::test {

std::vector<EplLabel> decodeEpl(const QByteArray& stream) {
    std::vector<EplLabel> labels;
    EplLabel current;
    std::vector<std::pair<QPoint, QByteArray>> rows; // top-left and bits of each row
    int bytesPerRow = 0;
    qsizetype at = 0;
    while (at < stream.size()) {
        qsizetype end = stream.indexOf('\n', at);
        if (end < 0)
            end = stream.size();
        const QByteArray line = stream.mid(at, end - at);
        at = end + 1;
        if (line.startsWith('q')) {
            current.widthDots = line.mid(1).toInt();
        } else if (line.startsWith("GW")) {
            const QList<QByteArray> p = line.mid(2).split(',');
            bytesPerRow = p.value(2).toInt();
            const int count = p.value(3).toInt();
            for (int r = 0; r < count; ++r, at += bytesPerRow)
                rows.push_back({QPoint(p.value(0).toInt(), p.value(1).toInt() + r),
                                stream.mid(at, bytesPerRow)});
            if (at < stream.size() && stream[at] == '\n')
                ++at;
        } else if (line.startsWith('P')) {
            int height = 0;
            for (const auto& row : rows)
                height = std::max(height, row.first.y() + 1);
            current.image = QImage(std::max(current.widthDots, 1), std::max(height, 1),
                                   QImage::Format_Grayscale8);
            current.image.fill(Qt::white);
            for (const auto& [origin, bits] : rows)
                for (int x = 0; x < bits.size() * 8; ++x)
                    if (!(uchar(bits[x / 8]) & (0x80 >> (x % 8))) &&
                        origin.x() + x < current.image.width())
                        current.image.setPixel(origin.x() + x, origin.y(), qRgb(0, 0, 0));
            labels.push_back(current);
            current = EplLabel{};
            rows.clear();
        }
    }
    return labels;
}

} // namespace pelmar::test
