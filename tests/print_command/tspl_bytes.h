#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace pelmar::test {

// One BITMAP command read back from TSPL bytes.
struct ParsedBitmap {
    int x = 0, y = 0, widthBytes = 0, height = 0, mode = 0;
    QByteArray data;
    bool black(int column, int row) const {
        const auto byte = static_cast<unsigned char>(data[row * widthBytes + column / 8]);
        return (byte & (0x80 >> (column % 8))) == 0;
    }
    int inkDots() const {
        int dots = 0;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < widthBytes * 8; ++column)
                dots += black(column, row) ? 1 : 0;
        return dots;
    }
};

// The strips of one text put back together as one picture (their union, as OR mode prints them).
inline ParsedBitmap mergedBitmap(const std::vector<ParsedBitmap>& strips) {
    if (strips.empty())
        return {};
    int left = strips[0].x, top = strips[0].y, right = left, bottom = top;
    for (const ParsedBitmap& s : strips) {
        left = std::min(left, s.x);
        top = std::min(top, s.y);
        right = std::max(right, s.x + s.widthBytes * 8);
        bottom = std::max(bottom, s.y + s.height);
    }
    ParsedBitmap out;
    out.x = left;
    out.y = top;
    out.mode = strips[0].mode;
    out.widthBytes = (right - left + 7) / 8;
    out.height = bottom - top;
    out.data = QByteArray(out.widthBytes * out.height, char(0xFF));
    for (const ParsedBitmap& s : strips)
        for (int row = 0; row < s.height; ++row)
            for (int column = 0; column < s.widthBytes * 8; ++column)
                if (s.black(column, row)) {
                    const int c = s.x + column - left;
                    const int r = s.y + row - top;
                    out.data[r * out.widthBytes + c / 8] = static_cast<char>(
                        out.data[r * out.widthBytes + c / 8] & ~(0x80 >> (c % 8)));
                }
    return out;
}

// Splits TSPL bytes into commands, counting the binary data of BITMAP and DOWNLOAD. Each
// command's text is readable: BITMAP data drawn as rows of '#' and '.', DOWNLOAD data as its
// size. Bitmaps found are appended to `bitmaps` when given.
inline QStringList readableTspl(const QByteArray& bytes,
                                std::vector<ParsedBitmap>* bitmaps = nullptr,
                                const common::CodePage& codePage = common::CodePage()) {
    QStringList out;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        if (bytes.mid(pos, 7) == "BITMAP ") {
            ParsedBitmap bitmap;
            qsizetype cursor = pos + 7;
            int values[5] = {};
            for (int& value : values) {
                const qsizetype comma = bytes.indexOf(',', cursor);
                value = bytes.mid(cursor, comma - cursor).toInt();
                cursor = comma + 1;
            }
            bitmap.x = values[0];
            bitmap.y = values[1];
            bitmap.widthBytes = values[2];
            bitmap.height = values[3];
            bitmap.mode = values[4];
            bitmap.data = bytes.mid(cursor, qsizetype(bitmap.widthBytes) * bitmap.height);
            cursor += bitmap.data.size();
            out << QStringLiteral("BITMAP %1,%2,%3,%4,%5,<%6 bytes>%7")
                       .arg(bitmap.x)
                       .arg(bitmap.y)
                       .arg(bitmap.widthBytes)
                       .arg(bitmap.height)
                       .arg(bitmap.mode)
                       .arg(bitmap.data.size())
                       .arg(bytes.mid(cursor, 2) == "\r\n" ? QString()
                                                           : QStringLiteral(" NO CRLF"));
            for (int row = 0;
                 row < bitmap.height && bitmap.data.size() == bitmap.widthBytes * bitmap.height;
                 ++row) {
                QString line = QStringLiteral("  |");
                for (int column = 0; column < bitmap.widthBytes * 8; ++column)
                    line += bitmap.black(column, row) ? u'#' : u'.';
                out << line;
            }
            if (bitmaps)
                bitmaps->push_back(bitmap);
            pos = cursor + 2;
            continue;
        }
        if (bytes.mid(pos, 9) == "DOWNLOAD ") {
            const qsizetype nameEnd = bytes.indexOf("\",", pos + 10);
            const qsizetype sizeEnd = bytes.indexOf(',', nameEnd + 2);
            const int size = bytes.mid(nameEnd + 2, sizeEnd - nameEnd - 2).toInt();
            out << QString::fromLatin1(bytes.mid(pos, sizeEnd + 1 - pos)) +
                       QStringLiteral("<%1 bytes>").arg(size);
            pos = sizeEnd + 1 + size;
            continue;
        }
        qsizetype end = bytes.indexOf("\r\n", pos);
        if (end < 0)
            end = bytes.size();
        out << codePage.decode(bytes.mid(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

} // namespace pelmar::test
