#pragma once

#include "preview/dot_bitmap.h"

#include <QByteArray>
#include <QHash>

namespace pelmar::preview {

// A printer's file memory (DRAM): the files DOWNLOAD stored, by name in capitals, and the
// pictures decoded from them. It outlives jobs and connections until the printer stops.
struct PrinterMemory {
    QHash<QByteArray, QByteArray> files;
    qint64 bytes = 0; // of all files together
    QHash<QByteArray, DotBitmap> pictures;
};

} // namespace pelmar::preview
