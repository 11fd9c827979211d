#include "preview/png_label_writer.h"

#include "common/file_writer.h"
#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QRegularExpression>

namespace pelmar::preview {

const QString& createdFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw common::RunError(common::PathFileAccessError,
                               common::errorDescription(common::PathFileAccessError) +
                                   QStringLiteral(": %1").arg(folder));
    return folder;
}

PngLabelWriter::PngLabelWriter(const QString& folder) : m_folder(folder) {
    static const QRegularExpression pattern(QStringLiteral("^label-(\\d+)\\.png$"));
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("label-*.png")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch())
            m_next = std::max(m_next, match.captured(1).toInt() + 1);
    }
}

QString PngLabelWriter::nextPath() const {
    return m_folder + QStringLiteral("/label-%1.png").arg(m_next, 5, 10, QLatin1Char('0'));
}

void PngLabelWriter::label(const QImage& picture) {
    const QString path = nextPath();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw common::FileWriteError(path, common::systemErrorText(writer.errorString()));
    // A printed label is not worth two disk flushes: it need only appear whole to its readers.
    common::saveFile(path, bytes, common::Durability::Visible);
    ++m_next;
    ++m_written;
}

} // namespace pelmar::preview
