#pragma once

#include <QSize>
#include <QString>

namespace pelmar::format {

// How a print mode reads the picture a Graphic line names. Command mode downloads a PCX or BMP
// file to the printer and places it by the ending of its name; driver mode draws any picture
// file (PCX by its ending or first byte, others as Qt reads them).
enum class PictureUse { PrinterFile, PageDrawing };

// The picture's size in pixels (printer dots in command mode), or why it cannot be printed.
struct PictureFound {
    QSize size;
    QString problem; // Traditional Chinese; empty when the picture can be printed
};

// Finds the picture `fileName` in the program folder (letter case ignored, backslashes as
// separators) and decodes it as `use` would. Nothing throws.
PictureFound findPicture(const QString& programFolder, const QString& fileName, PictureUse use);

} // namespace pelmar::format
