#include "preview/preview_port.h"

#include "common/run_error.h"

namespace pelmar::preview {

PreviewPort::PreviewPort(const QString& folder, int dpi, common::CodePage codePage)
    : m_writer(createdFolder(folder)), m_interpreter(m_writer, dpi, std::move(codePage)) {}

void PreviewPort::write(const QByteArray& bytes) {
    try {
        m_interpreter.feed(bytes);
    } catch (const common::RunError&) {
        m_failed = true;
        throw;
    }
}

void PreviewPort::close() {
    m_interpreter.finish();
    if (m_failed)
        throw common::RunError(common::PathFileAccessError,
                               common::errorDescription(common::PathFileAccessError) +
                                   QStringLiteral(": %1").arg(m_writer.nextPath()));
}

} // namespace pelmar::preview
