#include "preview/tspl_interpreter.h"

#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "preview/barcode_renderer.h"

#include <QImage>
#include <QScopeGuard>
#include <algorithm>
#include <cstring>

namespace pelmar::preview {

struct TsplInterpreter::Command {
    QByteArray name; // upper case
    QByteArray rest; // the text after the name
    std::vector<TsplArgument> args;
};

namespace {

// Decoding takes several copies of a picture, so its size is capped well below the label's.
constexpr qint64 kMaxPicturePixels = 8LL * 1024 * 1024;

QByteArrayView trimmedView(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.sliced(begin, end - begin);
}

// The command name at the start of a line: up to the first blank (or comma, for garbage).
QByteArray commandName(QByteArrayView line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
           line[end] != '"')
        ++end;
    return line.first(end).toByteArray().toUpper();
}

// A name fit for a warning: printable ASCII as it is, other bytes as \xNN, at most 24 bytes.
QString printable(const QByteArray& bytes) {
    QString out;
    for (qsizetype i = 0; i < bytes.size() && i < 24; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F)
            out += QLatin1Char(static_cast<char>(c));
        else
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    if (bytes.size() > 24)
        out += QStringLiteral("...");
    return out;
}

std::optional<int> quarterTurns(QByteArrayView text) {
    const std::optional<int> degrees = parseDots(text);
    if (!degrees || (*degrees != 0 && *degrees != 90 && *degrees != 180 && *degrees != 270))
        return std::nullopt;
    return *degrees / 90;
}

DotBitmap dotsOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    DotBitmap out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.at(x, y) = qAlpha(line[x]) >= 128 && qGray(line[x]) < 128 ? 1 : 0;
    }
    return out;
}

quint32 le32(const QByteArray& bytes, int at) {
    quint32 v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
}

DotBitmap cropped(const DotBitmap& piece, int width, int height) {
    DotBitmap out(std::min(piece.width, width), std::min(piece.height, height));
    for (int y = 0; y < out.height; ++y)
        std::memcpy(&out.at(0, y), &piece.dots[static_cast<size_t>(y) * piece.width], out.width);
    return out;
}

} // namespace

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

void TsplInterpreter::feedLine(const char* data, qsizetype size, qsizetype& pos) {
    while (pos < size) {
        const char c = data[pos++];
        if (m_escapeBytes > 0) {
            // <ESC>!x is an immediate command of three bytes; a lone ESC is dropped.
            if (m_escapeBytes == 2 && c != '!') {
                m_escapeBytes = 0;
            } else {
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
            m_line.clear();
            m_inQuote = false;
            m_commas = 0;
            m_mode = Mode::SkipLine;
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
    // The comma count of the line and the arguments split from it can differ when a quote is
    // left open: the arguments decide what can be read.
    if (name == "BITMAP") {
        if (m_commas != 5 || args.size() < 5)
            return false;
        int values[5];
        for (int k = 0; k < 5; ++k) {
            const std::optional<int> v = parseDots(args[k].text);
            if (!v) {
                warnAt(QStringLiteral("BITMAP header"),
                       QStringLiteral("BITMAP: parameter %1 (\"%2\") is not a number; the rest "
                                      "of the line is skipped")
                           .arg(k + 1)
                           .arg(printable(args[k].text)));
                m_line.clear();
                m_commas = 0;
                m_mode = Mode::SkipLine;
                return true;
            }
            values[k] = *v;
        }
        if (values[2] < 0 || values[3] < 0) {
            warnAt(QStringLiteral("BITMAP size"), QStringLiteral("BITMAP: negative size; the rest "
                                                                 "of the line is skipped"));
            m_line.clear();
            m_commas = 0;
            m_mode = Mode::SkipLine;
            return true;
        }
        if (values[4] < 0 || values[4] > 2) {
            warnAt(
                QStringLiteral("BITMAP mode"),
                QStringLiteral("BITMAP: mode %1 unknown; taken as 0 (overwrite)").arg(values[4]));
            values[4] = 0;
        }
        canvas();
        m_bitmapX = values[0] + m_setup.referenceX;
        m_bitmapY = values[1] + m_setup.referenceY;
        m_bitmapWidthBytes = values[2];
        m_bitmapMode = static_cast<BitmapMode>(values[4]);
        m_dataTotal = static_cast<long long>(values[2]) * values[3];
        m_mode = Mode::BitmapData;
    } else {
        // DOWNLOAD [m,]"NAME",size,<data>
        const bool withMemory = !args.empty() && !args[0].quoted;
        if (m_commas != (withMemory ? 3 : 2) || args.size() < (withMemory ? 3u : 2u))
            return false;
        const TsplArgument& nameArg = args[withMemory ? 1 : 0];
        const std::optional<double> size = parseNumber(args[withMemory ? 2 : 1].text);
        if (!nameArg.quoted || !size || *size < 0 || *size > 1e12) {
            warnAt(QStringLiteral("DOWNLOAD header"),
                   QStringLiteral("DOWNLOAD: file name or size unreadable; the rest of the line "
                                  "is skipped"));
            m_line.clear();
            m_commas = 0;
            m_mode = Mode::SkipLine;
            return true;
        }
        m_downloadName = nameArg.text.toUpper();
        m_dataTotal = static_cast<long long>(*size);
        const qint64 kept = m_fileBytes - m_files.value(m_downloadName).size();
        m_downloadKept = kept + m_dataTotal <= m_limits.maxDownloadBytes;
        if (!m_downloadKept)
            warnAt(QStringLiteral("memory full ") + QString::fromLatin1(m_downloadName),
                   QStringLiteral("DOWNLOAD \"%1\": %2 bytes do not fit in the printer memory "
                                  "(%3 bytes); file not stored")
                       .arg(printable(m_downloadName))
                       .arg(m_dataTotal)
                       .arg(m_limits.maxDownloadBytes));
        m_downloadData.clear();
        m_mode = Mode::DownloadData;
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
    if (m_mode == Mode::BitmapData && n > 0) {
        long long done = 0;
        while (done < n) {
            const long long row = (m_dataDone + done) / m_bitmapWidthBytes;
            const long long column = (m_dataDone + done) % m_bitmapWidthBytes;
            const long long take = std::min(n - done, m_bitmapWidthBytes - column);
            const long long y = m_bitmapY + row;
            if (y >= 0 && y < m_canvas->height())
                m_canvas->drawBitmapBytes(m_bitmapX, static_cast<int>(y), column,
                                          reinterpret_cast<const unsigned char*>(data + pos + done),
                                          take, m_bitmapMode);
            done += take;
        }
    } else if (m_mode == Mode::DownloadData && n > 0 && m_downloadKept) {
        m_downloadData.append(data + pos, static_cast<qsizetype>(n));
    } else if (m_mode == Mode::LengthData && n > 0) {
        m_lengthContent.append(data + pos, static_cast<qsizetype>(n));
    }
    if (n > 0) {
        pos += static_cast<qsizetype>(n);
        m_dataDone += n;
    }
    if (m_dataDone < m_dataTotal)
        return;
    // The command's line goes on after its content, up to its line end.
    m_hasLengthContent = m_mode == Mode::LengthData;
    if (m_mode == Mode::DownloadData && m_downloadKept) {
        m_fileBytes += m_downloadData.size() - m_files.value(m_downloadName).size();
        m_files.insert(m_downloadName, m_downloadData);
        m_pictures.remove(m_downloadName);
        m_downloadData.clear();
    }
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

LabelCanvas& TsplInterpreter::canvas() {
    if (!m_canvas) {
        if (m_setup.labelWidth <= 0 || m_setup.labelHeight <= 0) {
            warnAt(QStringLiteral("no size"),
                   QStringLiteral("no SIZE before the first label; 4 x 2 inches assumed"));
            m_setup.labelWidth = 4 * m_dpi;
            m_setup.labelHeight = 2 * m_dpi;
        }
        m_canvas = std::make_unique<LabelCanvas>(m_setup.labelWidth, m_setup.labelHeight);
    }
    return *m_canvas;
}

void TsplInterpreter::place(const DotBitmap& piece, int x, int y, int offsetX, int quarterTurns) {
    if (piece.isEmpty())
        return;
    // The piece turns clockwise about (x, y); offsetX moves it along its own baseline first.
    const long long w = piece.width;
    const long long h = piece.height;
    long long left = x;
    long long top = y;
    switch (quarterTurns & 3) {
    case 0:
        left = x + offsetX;
        break;
    case 1:
        left = x - h;
        top = y + offsetX;
        break;
    case 2:
        left = x - (offsetX + w);
        top = y - h;
        break;
    case 3:
        top = y - (offsetX + w);
        break;
    }
    if (left > 1'000'000 || left < -1'000'000 || top > 1'000'000 || top < -1'000'000)
        return;
    canvas().drawPiece(rotateClockwise(piece, quarterTurns), static_cast<int>(left),
                       static_cast<int>(top));
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

void TsplInterpreter::doSize(const Command& c) {
    if (c.args.empty() || c.args.size() > 2) {
        warnAt(QStringLiteral("SIZE count"), QStringLiteral("SIZE: needs width and length"));
        return;
    }
    std::optional<int> width = parseLength(c.args[0].text, m_dpi);
    std::optional<int> height =
        c.args.size() > 1
            ? parseLength(c.args[1].text, m_dpi)
            : std::optional<int>(m_setup.labelHeight > 0 ? m_setup.labelHeight : 2 * m_dpi);
    if (!width || !height || *width <= 0 || *height <= 0) {
        warnAt(QStringLiteral("SIZE value"),
               QStringLiteral("SIZE: \"%1\" is not a label size; command ignored")
                   .arg(printable(trimmedView(c.rest).toByteArray())));
        return;
    }
    const int w = std::min(*width, m_limits.maxLabelWidth);
    const int h = std::min(*height, m_limits.maxLabelHeight);
    if (w != *width || h != *height)
        warnAt(QStringLiteral("SIZE clamped"),
               QStringLiteral("SIZE: %1 x %2 dots is larger than the printer takes; %3 x %4 dots "
                              "used")
                   .arg(*width)
                   .arg(*height)
                   .arg(w)
                   .arg(h));
    if (w != m_setup.labelWidth || h != m_setup.labelHeight || !m_canvas) {
        m_setup.labelWidth = w;
        m_setup.labelHeight = h;
        m_canvas = std::make_unique<LabelCanvas>(w, h);
    }
}

void TsplInterpreter::doGapOrBline(const Command& c, bool blackMark) {
    const QString name = QString::fromLatin1(c.name);
    std::optional<int> gap = c.args.empty() ? std::nullopt : parseLength(c.args[0].text, m_dpi);
    std::optional<int> offset =
        c.args.size() > 1 ? parseLength(c.args[1].text, m_dpi) : std::optional<int>(0);
    if (!gap || !offset) {
        warnAt(name + QStringLiteral(" value"),
               QStringLiteral("%1: \"%2\" is not a gap; command ignored")
                   .arg(name, printable(trimmedView(c.rest).toByteArray())));
        return;
    }
    m_setup.blackMark = blackMark;
    m_setup.gap = *gap;
    m_setup.gapOffset = *offset;
}

void TsplInterpreter::doDirection(const Command& c) {
    int values[2] = {1, 0};
    if (!numbers(c, 0, 1, values))
        return;
    if (c.args.size() > 1 && !numbers(c, 1, 1, values + 1))
        return;
    if ((values[0] != 0 && values[0] != 1) || (values[1] != 0 && values[1] != 1)) {
        warnAt(QStringLiteral("DIRECTION value"),
               QStringLiteral("DIRECTION: values are 0 or 1; command ignored"));
        return;
    }
    m_setup.direction = values[0];
    m_setup.mirror = values[1] == 1;
}

void TsplInterpreter::doReference(const Command& c) {
    int values[2];
    if (!numbers(c, 0, 2, values))
        return;
    m_setup.referenceX = values[0];
    m_setup.referenceY = values[1];
}

void TsplInterpreter::doSet(const Command& c) {
    const QByteArray rest = trimmedView(c.rest).toByteArray();
    const qsizetype blank = rest.indexOf(' ');
    const QByteArray key = (blank < 0 ? rest : rest.left(blank)).toUpper();
    if (key.isEmpty()) {
        warnAt(QStringLiteral("SET empty"), QStringLiteral("SET without a setting ignored"));
        return;
    }
    // A printer ignores a SET it does not know; every one is remembered here.
    m_setup.settings.insert(key, blank < 0 ? QByteArray() : rest.mid(blank + 1).trimmed());
}

void TsplInterpreter::doRectangle(const Command& c) {
    int v[4];
    if (!numbers(c, 0, 4, v))
        return;
    const int x = v[0] + m_setup.referenceX;
    const int y = v[1] + m_setup.referenceY;
    if (c.name == "BAR")
        canvas().fillRect(x, y, v[2], v[3]);
    else if (c.name == "ERASE")
        canvas().eraseRect(x, y, v[2], v[3]);
    else
        canvas().invertRect(x, y, v[2], v[3]);
}

void TsplInterpreter::doBox(const Command& c) {
    const int rx = m_setup.referenceX;
    const int ry = m_setup.referenceY;
    if (c.name == "CIRCLE") {
        int v[4];
        if (!numbers(c, 0, 4, v))
            return;
        canvas().drawBox(v[0] + rx, v[1] + ry, v[0] + rx + v[2], v[1] + ry + v[2], v[3], v[2] / 2);
        return;
    }
    int v[6] = {0, 0, 0, 0, 0, 0};
    if (!numbers(c, 0, 5, v))
        return;
    if (c.args.size() > 5 && !numbers(c, 5, 1, v + 5))
        return;
    canvas().drawBox(v[0] + rx, v[1] + ry, v[2] + rx, v[3] + ry, v[4], v[5]);
}

void TsplInterpreter::doBarcode(const Command& c) {
    // BARCODE x,y,"type",height,readable,rotation,narrow,wide[,alignment],"content"
    if (c.args.size() != 9 && c.args.size() != 10) {
        warnAt(QStringLiteral("BARCODE count"),
               QStringLiteral("BARCODE: needs 9 or 10 parameters; command ignored"));
        return;
    }
    int pos[2];
    int v[5];
    if (!numbers(c, 0, 2, pos) || !numbers(c, 3, 5, v))
        return;
    int alignment = 0;
    if (c.args.size() == 10 && !numbers(c, 8, 1, &alignment))
        return;
    const TsplArgument& content = c.args.back();
    if (!content.quoted) {
        warnAt(QStringLiteral("BARCODE content"),
               QStringLiteral("BARCODE: content is not a quoted string; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[5].text);
    if (!turns) {
        warnAt(QStringLiteral("BARCODE rotation"),
               QStringLiteral("BARCODE: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    BarcodeRequest request;
    request.type = c.args[2].text;
    request.content = content.text;
    request.height = v[0];
    request.readable = v[1];
    request.narrow = v[3];
    request.wide = v[4];
    const SymbolResult result = renderBarcode(request, m_text);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("BARCODE ") + QString::fromLatin1(request.type.toUpper()) +
                   result.error,
               QStringLiteral("BARCODE \"%1\": %2; not drawn")
                   .arg(printable(request.type), result.error));
        return;
    }
    const int w = result.bitmap.width;
    const int offset = alignment == 2 ? -w / 2 : (alignment == 3 ? -w : 0);
    place(result.bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, offset, *turns);
}

void TsplInterpreter::doPdf417(const Command& c) {
    // PDF417 x,y,width,height,rotate,[options,]"content"
    int v[4];
    if (c.args.size() < 6 || !numbers(c, 0, 4, v)) {
        if (c.args.size() < 6)
            warnAt(QStringLiteral("PDF417 count"),
                   QStringLiteral("PDF417: too few parameters; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[4].text);
    if (!turns) {
        warnAt(QStringLiteral("PDF417 rotation"),
               QStringLiteral("PDF417: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    Pdf417Request request;
    request.content = m_hasLengthContent ? m_lengthContent : c.args.back().text;
    if (m_hasLengthContent && !c.args.back().text.isEmpty())
        warnAt(QStringLiteral("PDF417 after content"),
               QStringLiteral("PDF417: \"%1\" after the content of the length option ignored")
                   .arg(printable(c.args.back().text)));
    for (size_t k = 5; k + 1 < c.args.size(); ++k) {
        const QByteArray option = c.args[k].text.toUpper();
        const std::optional<int> value =
            option.size() > 1 ? parseDots(QByteArrayView(option).sliced(1)) : std::nullopt;
        const char letter = option.isEmpty() ? ' ' : option[0];
        if (!value || !QByteArray("PEMWHRCTL").contains(letter)) {
            warnAt(QStringLiteral("PDF417 option ") + QString::fromLatin1(option),
                   QStringLiteral("PDF417: option \"%1\" unknown; ignored").arg(printable(option)));
            continue;
        }
        switch (letter) {
        case 'E':
            request.errorLevel = *value;
            break;
        case 'W':
            request.moduleWidth = *value;
            break;
        case 'H':
            request.rowHeight = *value;
            break;
        case 'R':
            request.rows = *value;
            break;
        case 'C':
            request.columns = *value;
            break;
        case 'T':
            request.truncated = *value == 1;
            break;
        default:
            // Compression, centre pattern and length change nothing in the picture.
            break;
        }
    }
    SymbolResult result = renderPdf417(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("PDF417 ") + result.error,
               QStringLiteral("PDF417: %1; not drawn").arg(result.error));
        return;
    }
    if (v[2] > 0 && v[3] > 0 && (result.bitmap.width > v[2] || result.bitmap.height > v[3])) {
        warnAt(QStringLiteral("PDF417 clipped"),
               QStringLiteral("PDF417: the symbol (%1 x %2 dots) is larger than its area; clipped")
                   .arg(result.bitmap.width)
                   .arg(result.bitmap.height));
        result.bitmap = cropped(result.bitmap, v[2], v[3]);
    }
    place(result.bitmap, v[0] + m_setup.referenceX, v[1] + m_setup.referenceY, 0, *turns);
}

void TsplInterpreter::doDataMatrix(const Command& c) {
    // DMATRIX x,y,width,height,[c#,x#,r#,a#,row,col,]"content"
    int v[4];
    if (c.args.size() < 5 || !numbers(c, 0, 4, v)) {
        if (c.args.size() < 5)
            warnAt(QStringLiteral("DMATRIX count"),
                   QStringLiteral("DMATRIX: too few parameters; command ignored"));
        return;
    }
    DataMatrixRequest request;
    request.content = c.args.back().text;
    request.area = v[2] > 0 && v[3] > 0 ? std::min(v[2], v[3]) : 0;
    int turns = 0;
    int plain = 0;
    int escape = 0;
    for (size_t k = 4; k + 1 < c.args.size(); ++k) {
        const QByteArray option = c.args[k].text.toUpper();
        const bool lettered = !option.isEmpty() && option[0] >= 'A' && option[0] <= 'Z';
        const std::optional<int> value =
            parseDots(lettered ? QByteArrayView(option).sliced(1) : QByteArrayView(option));
        if (!value || (lettered && !QByteArray("CXRA").contains(option[0])) ||
            (!lettered && plain >= 2)) {
            warnAt(
                QStringLiteral("DMATRIX option ") + QString::fromLatin1(option),
                QStringLiteral("DMATRIX: option \"%1\" unknown; ignored").arg(printable(option)));
            continue;
        }
        if (!lettered) {
            (plain++ == 0 ? request.rows : request.columns) = *value;
        } else if (option[0] == 'X') {
            request.moduleSize = *value;
        } else if (option[0] == 'R') {
            const std::optional<int> t = quarterTurns(QByteArray::number(*value));
            if (t)
                turns = *t;
        } else if (option[0] == 'A') {
            request.rectangle = *value == 1;
        } else if (option[0] == 'C') {
            escape = *value;
        }
    }
    if (escape > 0 && escape < 256) {
        bool malformed = false;
        request.content = decodeEscapes(request.content, static_cast<char>(escape), &malformed);
        if (malformed)
            warnAt(QStringLiteral("DMATRIX escape"),
                   QStringLiteral("DMATRIX: an escape character (c%1) not followed by a known code "
                                  "is kept as it stands")
                       .arg(escape));
    }
    if (plain == 1)
        request.columns = request.rows;
    SymbolResult result = renderDataMatrix(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("DMATRIX ") + result.error,
               QStringLiteral("DMATRIX: %1; not drawn").arg(result.error));
        return;
    }
    if (v[2] > 0 && v[3] > 0 && (result.bitmap.width > v[2] || result.bitmap.height > v[3])) {
        warnAt(QStringLiteral("DMATRIX clipped"),
               QStringLiteral("DMATRIX: the symbol (%1 x %2 dots) is larger than its area; "
                              "clipped")
                   .arg(result.bitmap.width)
                   .arg(result.bitmap.height));
        result.bitmap = cropped(result.bitmap, v[2], v[3]);
    }
    place(result.bitmap, v[0] + m_setup.referenceX, v[1] + m_setup.referenceY, 0, turns);
}

void TsplInterpreter::doQrCode(const Command& c) {
    // QRCODE x,y,ECC,cellWidth,mode,rotation,[model,mask,]"content"
    int pos[2];
    int cell = 0;
    if (c.args.size() < 7 || !numbers(c, 0, 2, pos) || !numbers(c, 3, 1, &cell)) {
        if (c.args.size() < 7)
            warnAt(QStringLiteral("QRCODE count"),
                   QStringLiteral("QRCODE: too few parameters; command ignored"));
        return;
    }
    const std::optional<int> turns = quarterTurns(c.args[5].text);
    const QByteArray level = c.args[2].text.toUpper();
    if (!turns || level.size() != 1 || !QByteArray("LMQH").contains(level[0])) {
        warnAt(QStringLiteral("QRCODE value"),
               QStringLiteral("QRCODE: error level or rotation unknown; command ignored"));
        return;
    }
    QrRequest request;
    request.content = c.args.back().text;
    request.errorLevel = level[0];
    request.cellWidth = cell;
    const SymbolResult result = renderQrCode(request);
    if (!result.error.isEmpty()) {
        warnAt(QStringLiteral("QRCODE ") + result.error,
               QStringLiteral("QRCODE: %1; not drawn").arg(result.error));
        return;
    }
    place(result.bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, 0, *turns);
}

void TsplInterpreter::doText(const Command& c) {
    // TEXT x,y,"font",rotation,xMul,yMul,[alignment,]"content"
    if (c.args.size() != 7 && c.args.size() != 8) {
        warnAt(QStringLiteral("TEXT count"),
               QStringLiteral("TEXT: needs 7 or 8 parameters; command ignored"));
        return;
    }
    int pos[2];
    int mul[2];
    if (!numbers(c, 0, 2, pos) || !numbers(c, 4, 2, mul))
        return;
    int alignment = 0;
    if (c.args.size() == 8 && !numbers(c, 6, 1, &alignment))
        return;
    const std::optional<int> turns = quarterTurns(c.args[3].text);
    if (!turns) {
        warnAt(QStringLiteral("TEXT rotation"),
               QStringLiteral("TEXT: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    const QByteArray& font = c.args[2].text;
    if (!TextRenderer::isKnownFont(font)) {
        warnAt(
            QStringLiteral("TEXT font ") + QString::fromLatin1(font.toHex()),
            QStringLiteral("TEXT: font \"%1\" not in the printer; not drawn").arg(printable(font)));
        return;
    }
    if (!c.args.back().quoted) {
        warnAt(QStringLiteral("TEXT content"),
               QStringLiteral("TEXT: content is not a quoted string; command ignored"));
        return;
    }
    const QString text = m_codePage.decode(c.args.back().text);
    const DotBitmap bitmap = m_text.render(font, mul[0], mul[1], text);
    if (bitmap.isEmpty() && !text.isEmpty()) {
        warnAt(QStringLiteral("TEXT no face"),
               QStringLiteral("TEXT: no font face available; text not drawn"));
        return;
    }
    const int w = bitmap.width;
    const int offset = alignment == 2 ? -w / 2 : (alignment == 3 ? -w : 0);
    place(bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, offset, *turns);
}

std::optional<DotBitmap> TsplInterpreter::picture(const QByteArray& name, bool bmp) {
    const auto cached = m_pictures.constFind(name);
    if (cached != m_pictures.constEnd())
        return *cached;
    const auto file = m_files.constFind(name);
    if (file == m_files.constEnd()) {
        warnAt(QStringLiteral("missing ") + QString::fromLatin1(name.toHex()),
               QStringLiteral("file \"%1\" is not in the printer memory; not drawn")
                   .arg(printable(name)));
        return std::nullopt;
    }
    const QByteArray& bytes = *file;
    QImage image;
    QString error;
    if (bmp) {
        // The header's size is checked before Qt allocates the picture.
        if (bytes.size() < 26 || !bytes.startsWith("BM")) {
            error = QStringLiteral("not a BMP file");
        } else {
            const qint64 w = std::abs(static_cast<qint32>(le32(bytes, 18)));
            const qint64 h = std::abs(static_cast<qint32>(le32(bytes, 22)));
            if (w * h > kMaxPicturePixels)
                error = QStringLiteral("picture of %1 x %2 pixels is too large").arg(w).arg(h);
            else if (!image.loadFromData(bytes, "BMP"))
                error = QStringLiteral("BMP file unreadable");
        }
    } else {
        if (bytes.size() >= 12) {
            auto u16 = [&](int at) {
                return static_cast<unsigned char>(bytes[at]) |
                       (static_cast<unsigned char>(bytes[at + 1]) << 8);
            };
            const qint64 w = u16(8) - u16(4) + 1;
            const qint64 h = u16(10) - u16(6) + 1;
            if (w * h > kMaxPicturePixels)
                error = QStringLiteral("picture of %1 x %2 pixels is too large").arg(w).arg(h);
        }
        if (error.isEmpty()) {
            try {
                image = common::decodePcx(bytes);
            } catch (const common::RunError& e) {
                error = e.description();
            }
        }
    }
    if (!error.isEmpty() || image.isNull()) {
        warnAt(QStringLiteral("bad picture ") + QString::fromLatin1(name.toHex()),
               QStringLiteral("\"%1\": %2; not drawn")
                   .arg(printable(name), error.isEmpty() ? QStringLiteral("unreadable") : error));
        return std::nullopt;
    }
    return *m_pictures.insert(name, dotsOf(image));
}

void TsplInterpreter::doPut(const Command& c) {
    int pos[2];
    if (!numbers(c, 0, 2, pos))
        return;
    if (c.args.size() < 3 || !c.args[2].quoted) {
        warnAt(c.name + QStringLiteral(" name"),
               QStringLiteral("%1: file name missing; command ignored")
                   .arg(QString::fromLatin1(c.name)));
        return;
    }
    const std::optional<DotBitmap> bitmap = picture(c.args[2].text.toUpper(), c.name == "PUTBMP");
    if (bitmap)
        place(*bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, 0, 0);
}

void TsplInterpreter::doKill(const Command& c) {
    if (c.args.empty() || !c.args.back().quoted) {
        warnAt(QStringLiteral("KILL name"), QStringLiteral("KILL: file name missing; ignored"));
        return;
    }
    const QByteArray name = c.args.back().text.toUpper();
    if (name == "*") {
        m_files.clear();
        m_pictures.clear();
        m_fileBytes = 0;
        return;
    }
    m_fileBytes -= m_files.value(name).size();
    m_files.remove(name);
    m_pictures.remove(name);
}

void TsplInterpreter::doPrint(const Command& c) {
    int v[2] = {0, 1};
    if (!numbers(c, 0, 1, v))
        return;
    if (c.args.size() > 1 && !numbers(c, 1, 1, v + 1))
        return;
    if (v[0] < 0 || v[1] < 0) {
        warnAt(QStringLiteral("PRINT negative"),
               QStringLiteral("PRINT: negative count; command ignored"));
        return;
    }
    long long count = static_cast<long long>(v[0]) * v[1];
    if (count > m_limits.maxLabelsPerPrint) {
        warnAt(QStringLiteral("PRINT many"),
               QStringLiteral("PRINT: %1 labels asked for; %2 printed")
                   .arg(count)
                   .arg(m_limits.maxLabelsPerPrint));
        count = m_limits.maxLabelsPerPrint;
    }
    if (count == 0)
        return;
    QImage image = canvas().toImage(m_setup.direction == 0, m_setup.mirror);
    const int dotsPerMetre = static_cast<int>(m_dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    for (long long k = 0; k < count; ++k) {
        m_sink.label(image);
        ++m_labelCount;
    }
}

} // namespace pelmar::preview
