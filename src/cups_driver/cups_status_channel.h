#pragma once

#include "cups_driver/status_channel.h"

#include <cstdio>

namespace pelmar::cups_driver {

// The status channel of a CUPS filter: inquiries go out with the printer's bytes on `output`,
// answers come back over the backend's back channel (socket and usb backends have one).
class CupsStatusChannel : public StatusChannel {
public:
    explicit CupsStatusChannel(std::FILE* output) : m_output(output) {}
    bool canAnswer() override;
    void ask() override;
    QByteArray take() override;

private:
    std::FILE* m_output;
};

} // namespace pelmar::cups_driver
