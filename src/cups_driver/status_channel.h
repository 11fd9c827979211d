#pragma once

#include <QByteArray>

namespace pelmar::cups_driver {

// The way to the printer and back that the filter asks its status on.
class StatusChannel {
public:
    virtual ~StatusChannel() = default;
    // True when the device can answer at all (the backend has a back channel).
    virtual bool canAnswer() = 0;
    // Sends the status inquiry <ESC>!? after what was printed so far.
    virtual void ask() = 0;
    // The bytes the printer has answered since the last call, without waiting; empty for none.
    virtual QByteArray take() = 0;
};

} // namespace pelmar::cups_driver
