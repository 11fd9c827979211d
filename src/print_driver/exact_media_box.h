#pragma once

#include <QIODevice>
#include <QSizeF>

namespace pelmar::print_driver {

// Qt's PDF writer states a page's size in whole points (170 x 113 for a 60 x 40 mm label, which
// is 170.08 x 113.39). This device stands between the writer and its output and writes every
// page's /MediaBox with the exact size instead, in as many bytes as the writer's, so the file's
// cross-reference offsets stay right. Failed writes of the output are failed writes here.
class ExactMediaBoxDevice : public QIODevice {
public:
    explicit ExactMediaBoxDevice(QIODevice& output);

    // The exact size in points of the pages written from now on.
    void setPageSize(QSizeF points) { m_points = points; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    QIODevice& m_output;
    QSizeF m_points;
};

// A number of the writer's, `written`, replaced by `exact` in the same number of bytes: fewer
// decimals when needed, blanks before it when shorter. Empty when it cannot fit.
QByteArray sameWidthNumber(const QByteArray& written, double exact);

} // namespace pelmar::print_driver
