#include "preview/tspl_interpreter.h"

#include "preview/tspl_command.h"

#include <QScopeGuard>
#include <algorithm>

// The reading of the stream: lines, the binary content some commands carry, and the dispatch of
// each command line. Each family of commands is carried out in a file of its own.

namespace pelmar::preview {

TsplInterpreter::TsplInterpreter(LabelSink& sink, int dpi, common::CodePage codePage,
                                 TsplLimits limits)
    : m_sink(sink), m_dpi(dpi >= 300 ? 300 : 203), m_codePage(std::move(codePage)),
      m_limits(limits), m_text(m_dpi) {}

TsplInterpreter::~TsplInterpreter() = default;

void TsplInterpreter::warn(const QString& key, const QString& text) {
    if (m_warningKeys.contains(key))
        return;
    if (m_warnings.size() >= m_limits.maxWarnings) {
        if (m_warnings.size() == m_limits.maxWarnings)
            m_warnings << QStringLiteral("further warnings left out");
        return;
    }
    m_warningKeys.insert(key);
    m_warnings << text;
}

void TsplInterpreter::warnAt(const QString& key, const QString& text) {
    warn(key, QStringLiteral("line %1: %2").arg(m_commandLine).arg(text));
}

void TsplInterpreter::feed(const char* data, qsizetype size) {
    qsizetype pos = 0;
    while (pos < size) {
        switch (m_mode) {
        case Mode::Line:
            feedLine(data, size, pos);
            break;
        case Mode::SkipLine:
            while (pos < size && data[pos] != '\r' && data[pos] != '\n')
                ++pos;
            if (pos < size)
                m_mode = Mode::Line;
            break;
        case Mode::BitmapData:
        case Mode::DownloadData:
        case Mode::LengthData:
            feedBinary(data, size, pos);
            break;
        }
    }
}

void TsplInterpreter::skipRestOfLine() {
    m_line.clear();
    m_inQuote = false;
    m_commas = 0;
    m_mode = Mode::SkipLine;
}

void TsplInterpreter::feedLine(const char* data, qsizetype size, qsizetype& pos) {
    while (pos < size) {
        const char c = data[pos++];
        if (m_escapeBytes > 0) {
            // <ESC>!x is an immediate command of three bytes; a lone ESC is dropped.
            if (m_escapeBytes == 2 && c != '!') {
                m_escapeBytes = 0;
            } else {
                if (m_escapeBytes == 1 && m_immediate)
                    m_immediate->escapeCommand(c);
                --m_escapeBytes;
                continue;
            }
        }
        if (c == '\x1B') {
            m_escapeBytes = 2;
            continue;
        }
        if (c == '\r' || c == '\n') {
            const bool secondHalf = c == '\n' && m_lastWasCr;
            m_lastWasCr = c == '\r';
            if (!secondHalf) {
                endLine();
                ++m_lineNumber;
            }
            continue;
        }
        m_lastWasCr = false;
        if (m_line.isEmpty())
            m_commandLine = m_lineNumber;
        m_line.append(c);
        if (m_immediate && m_line.size() == 3 && m_line.startsWith("~!"))
            m_immediate->inquiry(c);
        if (c == '"') {
            if (!m_inQuote)
                m_inQuote = true;
            else if (!m_line.endsWith("\\[\""))
                m_inQuote = false;
        } else if (c == ',' && !m_inQuote) {
            ++m_commas;
            if (startBinaryCommand())
                return;
        }
        if (m_line.size() > m_limits.maxLineBytes) {
            warnAt(
                QStringLiteral("long line"),
                QStringLiteral("command longer than %1 bytes ignored").arg(m_limits.maxLineBytes));
            skipRestOfLine();
            return;
        }
    }
}

bool TsplInterpreter::startBinaryCommand() {
    const QByteArrayView line = trimmedView(m_line);
    const QByteArray name = commandName(line);
    if (name != "BITMAP" && name != "DOWNLOAD" && name != "PDF417")
        return false;
    const std::vector<TsplArgument> args = splitArguments(line.sliced(name.size()));
    if (name == "PDF417")
        return startLengthContent(args);
    const DataStart start = name == "BITMAP" ? startBitmap(args) : startDownload(args);
    if (start == DataStart::NotYet)
        return false;
    if (start == DataStart::Refused) {
        skipRestOfLine();
        return true;
    }
    m_dataDone = 0;
    m_line.clear();
    m_commas = 0;
    m_lastWasCr = false;
    qsizetype none = 0;
    feedBinary(nullptr, 0, none);
    return true;
}

bool TsplInterpreter::startLengthContent(const std::vector<TsplArgument>& args) {
    // PDF417 x,y,width,height,rotate,[options,]Lm,<m bytes>: the comma just read ends the option.
    if (m_hasLengthContent || args.size() < 7)
        return false;
    const TsplArgument& option = args[args.size() - 2];
    if (option.quoted || option.text.size() < 2 || (option.text[0] != 'L' && option.text[0] != 'l'))
        return false;
    const std::optional<double> length = parseNumber(QByteArrayView(option.text).sliced(1));
    if (!length || *length < 1 || *length > 2048 || *length != static_cast<int>(*length)) {
        warnAt(QStringLiteral("PDF417 length"),
               QStringLiteral("PDF417: length option \"%1\" is not 1 to 2048; read as an option")
                   .arg(printable(option.text)));
        return false;
    }
    m_dataTotal = static_cast<long long>(*length);
    m_dataDone = 0;
    m_lengthContent.clear();
    m_lastWasCr = false;
    m_mode = Mode::LengthData;
    return true;
}

void TsplInterpreter::feedBinary(const char* data, qsizetype size, qsizetype& pos) {
    const long long n = std::min<long long>(size - pos, m_dataTotal - m_dataDone);
    if (n > 0) {
        if (m_mode == Mode::BitmapData)
            drawBitmapData(data + pos, n);
        else if (m_mode == Mode::DownloadData && m_downloadKept)
            m_downloadData.append(data + pos, static_cast<qsizetype>(n));
        else if (m_mode == Mode::LengthData)
            m_lengthContent.append(data + pos, static_cast<qsizetype>(n));
        pos += static_cast<qsizetype>(n);
        m_dataDone += n;
    }
    if (m_dataDone < m_dataTotal)
        return;
    // The command's line goes on after its content, up to its line end.
    m_hasLengthContent = m_mode == Mode::LengthData;
    if (m_mode == Mode::DownloadData && m_downloadKept)
        keepDownload();
    m_mode = Mode::Line;
}

void TsplInterpreter::finish() {
    if (m_mode == Mode::BitmapData || m_mode == Mode::DownloadData || m_mode == Mode::LengthData) {
        warn(QStringLiteral("truncated data"),
             QStringLiteral("line %1: the stream ends inside %2 data: %3 of %4 bytes missing")
                 .arg(m_commandLine)
                 .arg(m_mode == Mode::BitmapData     ? QStringLiteral("BITMAP")
                      : m_mode == Mode::DownloadData ? QStringLiteral("DOWNLOAD")
                                                     : QStringLiteral("PDF417"))
                 .arg(m_dataTotal - m_dataDone)
                 .arg(m_dataTotal));
        m_downloadData.clear();
    } else if (m_mode == Mode::Line && !trimmedView(m_line).isEmpty()) {
        warnAt(QStringLiteral("truncated command"),
               QStringLiteral("the stream ends in the middle of the command \"%1\"; not carried "
                              "out")
                   .arg(printable(m_line)));
    }
    m_line.clear();
    m_inQuote = false;
    m_commas = 0;
    m_mode = Mode::Line;
    m_lengthContent.clear();
    m_hasLengthContent = false;
}

void TsplInterpreter::endLine() {
    if (m_mode != Mode::Line)
        return;
    const QByteArray line = m_line;
    const bool unterminated = m_inQuote;
    m_line.clear();
    m_inQuote = false;
    m_commas = 0;
    // The content of a length option belongs to this line only.
    const auto forgetContent = qScopeGuard([this] {
        m_lengthContent.clear();
        m_hasLengthContent = false;
    });
    if (unterminated) {
        warnAt(QStringLiteral("unterminated ") + commandName(trimmedView(line)),
               QStringLiteral("%1: a quoted string is not closed; command ignored")
                   .arg(printable(commandName(trimmedView(line)))));
        return;
    }
    execute(line);
}

bool TsplInterpreter::numbers(const Command& c, int first, int count, int* out) {
    if (static_cast<int>(c.args.size()) < first + count) {
        warnAt(c.name + QStringLiteral(" count"),
               QStringLiteral("%1: too few parameters; command ignored")
                   .arg(QString::fromLatin1(c.name)));
        return false;
    }
    for (int k = 0; k < count; ++k) {
        const std::optional<int> v = parseDots(c.args[first + k].text);
        if (!v) {
            warnAt(c.name + QStringLiteral(" number"),
                   QStringLiteral("%1: parameter %2 (\"%3\") is not a number; command ignored")
                       .arg(QString::fromLatin1(c.name))
                       .arg(first + k + 1)
                       .arg(printable(c.args[first + k].text)));
            return false;
        }
        out[k] = *v;
    }
    return true;
}

void TsplInterpreter::execute(const QByteArray& rawLine) {
    const QByteArrayView line = trimmedView(rawLine);
    if (line.isEmpty())
        return;
    Command c;
    c.name = commandName(line);
    if (m_skippingProgram) {
        if (c.name == "EOP")
            m_skippingProgram = false;
        return;
    }
    // Inquiries (~!T, ~!A, ...) are answered by a printer, never printed.
    if (line.startsWith('~'))
        return;
    c.rest = line.sliced(c.name.size()).toByteArray();
    c.args = splitArguments(c.rest);
    const QByteArray& n = c.name;
    if (n == "SIZE")
        doSize(c);
    else if (n == "GAP")
        doGapOrBline(c, false);
    else if (n == "BLINE")
        doGapOrBline(c, true);
    else if (n == "OFFSET") {
        if (!c.args.empty())
            if (const std::optional<int> v = parseLength(c.args[0].text, m_dpi))
                m_setup.offset = *v;
    } else if (n == "SPEED")
        m_setup.speed = trimmedView(c.rest).toByteArray();
    else if (n == "DENSITY")
        m_setup.density = trimmedView(c.rest).toByteArray();
    else if (n == "CODEPAGE")
        m_setup.codePage = trimmedView(c.rest).toByteArray();
    else if (n == "DIRECTION")
        doDirection(c);
    else if (n == "REFERENCE")
        doReference(c);
    else if (n == "SET")
        doSet(c);
    else if (n == "CLS")
        canvas().clear();
    else if (n == "BAR" || n == "ERASE" || n == "REVERSE")
        doRectangle(c);
    else if (n == "BOX" || n == "CIRCLE")
        doBox(c);
    else if (n == "BARCODE")
        doBarcode(c);
    else if (n == "PDF417")
        doPdf417(c);
    else if (n == "DMATRIX")
        doDataMatrix(c);
    else if (n == "QRCODE")
        doQrCode(c);
    else if (n == "TEXT")
        doText(c);
    else if (n == "PUTPCX" || n == "PUTBMP")
        doPut(c);
    else if (n == "KILL")
        doKill(c);
    else if (n == "PRINT")
        doPrint(c);
    else if (n == "BITMAP")
        warnAt(QStringLiteral("BITMAP count"),
               QStringLiteral("BITMAP: too few parameters before the data; command ignored"));
    else if (n == "DOWNLOAD") {
        // DOWNLOAD "NAME.BAS" without a size stores a program up to EOP.
        warnAt(QStringLiteral("DOWNLOAD program"),
               QStringLiteral("DOWNLOAD of a program is not supported; lines up to EOP skipped"));
        m_skippingProgram = true;
    } else if (n == "SHIFT" || n == "FEED" || n == "BACKFEED" || n == "BACKUP" || n == "HOME" ||
               n == "FORMFEED" || n == "SOUND" || n == "EOP" || n == "CUT" || n == "LIMITFEED" ||
               n == "INITIALPRINTER") {
        // Paper movement and sounds leave no trace on the label pictures.
    } else {
        warnAt(QStringLiteral("unknown ") + QString::fromLatin1(n.toHex()),
               QStringLiteral("unknown command %1 ignored").arg(printable(n)));
    }
}

} // namespace pelmar::preview
