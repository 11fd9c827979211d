#pragma once

#include "preview/label_sink.h"

#include <QString>

namespace pelmar::preview {

// Makes folder (and the folders above it) when missing and returns it; throws RunError(75)
// naming it when it cannot.
const QString& createdFolder(const QString& folder);

// Writes each label as a 1-bit PNG file label-00001.png, label-00002.png, ... into a folder.
// Numbering continues after the highest label-N.png already there, so nothing is overwritten.
class PngLabelWriter : public LabelSink {
public:
    // folder must exist.
    explicit PngLabelWriter(const QString& folder);

    // Writes the next file; throws common::FileWriteError (75) naming it when it cannot.
    void label(const QImage& picture) override;

    const QString& folder() const { return m_folder; }
    // Path of the file the next label goes to.
    QString nextPath() const;
    int written() const { return m_written; }

private:
    QString m_folder;
    int m_next = 1;
    int m_written = 0;
};

} // namespace pelmar::preview
