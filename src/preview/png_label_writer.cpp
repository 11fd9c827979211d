#include "preview/png_label_writer.h"

#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QDir>
#include <QImageWriter>
#include <QRegularExpression>

namespace pelmar::preview {

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
    QImageWriter writer(path, "png");
    if (!writer.write(picture)) {
        // Qt's words for a file it cannot open are English and name no cause.
        const QString reason =
            writer.error() == QImageWriter::DeviceError
                ? QStringLiteral("無法寫入檔案: 資料夾不存在、沒有寫入權限或磁碟已滿")
                : common::systemErrorText(writer.errorString());
        throw common::RunError(common::PathFileAccessError,
                               common::errorDescription(common::PathFileAccessError) +
                                   QStringLiteral(": %1 (%2)").arg(path, reason));
    }
    ++m_next;
    ++m_written;
}

} // namespace pelmar::preview
