#include "print_driver/exact_media_box.h"

namespace pelmar::print_driver {

namespace {

const QByteArray kMediaBox = QByteArrayLiteral("/MediaBox [0 0 ");

// The two numbers after kMediaBox at `at` in text, rewritten with the exact size where they fit.
void rewriteMediaBox(QByteArray& text, qsizetype at, QSizeF points) {
    qsizetype begin = at + kMediaBox.size();
    for (const double exact : {points.width(), points.height()}) {
        qsizetype end = begin;
        while (end < text.size() && text[end] != ' ' && text[end] != ']')
            ++end;
        const QByteArray number = sameWidthNumber(text.mid(begin, end - begin), exact);
        if (!number.isEmpty())
            text.replace(begin, number.size(), number);
        begin = end + 1;
    }
}

} // namespace

ExactMediaBoxDevice::ExactMediaBoxDevice(QIODevice& output) : m_output(output) {}

qint64 ExactMediaBoxDevice::writeData(const char* data, qint64 length) {
    const QByteArray chunk = QByteArray::fromRawData(data, length);
    qsizetype at = m_points.isValid() ? chunk.indexOf(kMediaBox) : -1;
    qint64 written = 0;
    if (at < 0) {
        written = m_output.write(data, length);
    } else {
        QByteArray text(data, length);
        for (; at >= 0; at = text.indexOf(kMediaBox, at + kMediaBox.size()))
            rewriteMediaBox(text, at, m_points);
        written = m_output.write(text);
    }
    if (written != length) {
        setErrorString(m_output.errorString());
        return -1;
    }
    return length;
}

QByteArray sameWidthNumber(const QByteArray& written, double exact) {
    if (written.isEmpty())
        return {};
    for (int decimals = 6; decimals >= 0; --decimals) {
        const QByteArray number = QByteArray::number(exact, 'f', decimals);
        if (number.size() <= written.size())
            return QByteArray(written.size() - number.size(), ' ') + number;
    }
    return {};
}

} // namespace pelmar::print_driver
