#pragma once

#include <QImage>

namespace pelmar::preview {

// Receives every printed label of the virtual printer, in print order.
class LabelSink {
public:
    virtual ~LabelSink() = default;
    // One printed label as a 1-bit picture of the label's size in dots; may throw RunError when
    // the picture cannot be kept.
    virtual void label(const QImage& picture) = 0;
};

} // namespace pelmar::preview
