#pragma once

#include "print_driver/page_sink.h"

#include <QImage>
#include <cmath>
#include <vector>

namespace pelmar::print_driver {

// Keeps every job as a picture at a resolution (tests, previews).
class ImagePageSink : public PageSink {
public:
    explicit ImagePageSink(double dotsPerInch, QString deviceName = QStringLiteral("PNG"))
        : m_dotsPerInch(dotsPerInch), m_deviceName(std::move(deviceName)) {}
    QString deviceName() override { return m_deviceName; }
    int dotsPerInch() override { return static_cast<int>(std::lround(m_dotsPerInch)); }
    void sendJob(const PageContent& page, int copies) override;

    struct Job {
        QImage image;
        int copies = 1;
    };
    std::vector<Job> jobs;

private:
    double m_dotsPerInch;
    QString m_deviceName;
};

} // namespace pelmar::print_driver
