#pragma once

#include "common/byte_port.h"
#include "common/code_page.h"
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"

#include <QStringList>

namespace pelmar::preview {

// The virtual printer as a port (address preview:DIR): the bytes of a run are read as TSPL and
// every printed label becomes a PNG file in the folder.
class PreviewPort : public common::BytePort {
public:
    // folder is absolute (the caller resolves a relative one against the program folder); it is
    // created when missing. Throws RunError(75) when it cannot be created.
    explicit PreviewPort(const QString& folder, int dpi = 203,
                         common::CodePage codePage = common::CodePage());

    // Reads the bytes as TSPL; throws RunError(75) when a label's picture cannot be written.
    void write(const QByteArray& bytes) override;
    // Ends the stream (an unfinished command becomes a warning). Throws RunError(75) when a
    // picture could not be written.
    void close() override;
    bool isPhysical() const override { return false; }

    // What the virtual printer did not understand or could not draw, in stream order.
    QStringList warnings() const override { return m_interpreter.warnings(); }
    long long labelCount() const { return m_interpreter.labelCount(); }
    const QString& folder() const { return m_writer.folder(); }

private:
    PngLabelWriter m_writer;
    TsplInterpreter m_interpreter;
    bool m_failed = false;
};

} // namespace pelmar::preview
