#include "preview/tspl_interpreter.h"

#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "preview/tspl_command.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

// Pictures and the printer memory: BITMAP, DOWNLOAD, PUTPCX, PUTBMP and KILL.

namespace pelmar::preview {

namespace {

// Decoding takes several copies of a picture, so its size is capped well below the label's.
constexpr qint64 kMaxPicturePixels = 8LL * 1024 * 1024;

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

} // namespace

TsplInterpreter::DataStart TsplInterpreter::startBitmap(const std::vector<TsplArgument>& args) {
    // BITMAP x,y,widthBytes,height,mode,<data>
    // The comma count of the line and the arguments split from it can differ when a quote is
    // left open: the arguments decide what can be read.
    if (m_commas != 5 || args.size() < 5)
        return DataStart::NotYet;
    int values[5];
    for (int k = 0; k < 5; ++k) {
        const std::optional<int> v = parseDots(args[k].text);
        if (!v) {
            warnAt(QStringLiteral("BITMAP header"),
                   QStringLiteral("BITMAP: parameter %1 (\"%2\") is not a number; the rest "
                                  "of the line is skipped")
                       .arg(k + 1)
                       .arg(printable(args[k].text)));
            return DataStart::Refused;
        }
        values[k] = *v;
    }
    if (values[2] < 0 || values[3] < 0) {
        warnAt(QStringLiteral("BITMAP size"), QStringLiteral("BITMAP: negative size; the rest "
                                                             "of the line is skipped"));
        return DataStart::Refused;
    }
    if (values[4] < 0 || values[4] > 2) {
        warnAt(QStringLiteral("BITMAP mode"),
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
    return DataStart::Started;
}

void TsplInterpreter::drawBitmapData(const char* data, long long size) {
    long long done = 0;
    while (done < size) {
        const long long row = (m_dataDone + done) / m_bitmapWidthBytes;
        const long long column = (m_dataDone + done) % m_bitmapWidthBytes;
        const long long take = std::min(size - done, m_bitmapWidthBytes - column);
        const long long y = m_bitmapY + row;
        if (y >= 0 && y < m_canvas->height())
            m_canvas->drawBitmapBytes(m_bitmapX, static_cast<int>(y), column,
                                      reinterpret_cast<const unsigned char*>(data + done), take,
                                      m_bitmapMode);
        done += take;
    }
}

TsplInterpreter::DataStart TsplInterpreter::startDownload(const std::vector<TsplArgument>& args) {
    // DOWNLOAD [m,]"NAME",size,<data>
    const bool withMemory = !args.empty() && !args[0].quoted;
    if (m_commas != (withMemory ? 3 : 2) || args.size() < (withMemory ? 3u : 2u))
        return DataStart::NotYet;
    const TsplArgument& nameArg = args[withMemory ? 1 : 0];
    const std::optional<double> size = parseNumber(args[withMemory ? 2 : 1].text);
    if (!nameArg.quoted || !size || *size < 0 || *size > 1e12) {
        warnAt(QStringLiteral("DOWNLOAD header"),
               QStringLiteral("DOWNLOAD: file name or size unreadable; the rest of the line "
                              "is skipped"));
        return DataStart::Refused;
    }
    m_downloadName = nameArg.text.toUpper();
    m_dataTotal = static_cast<long long>(*size);
    const qint64 kept = m_memory->bytes - m_memory->files.value(m_downloadName).size();
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
    return DataStart::Started;
}

void TsplInterpreter::keepDownload() {
    m_memory->bytes += m_downloadData.size() - m_memory->files.value(m_downloadName).size();
    m_memory->files.insert(m_downloadName, m_downloadData);
    m_memory->pictures.remove(m_downloadName);
    m_downloadData.clear();
}

std::optional<DotBitmap> TsplInterpreter::picture(const QByteArray& name, bool bmp) {
    const auto cached = m_memory->pictures.constFind(name);
    if (cached != m_memory->pictures.constEnd())
        return *cached;
    const auto file = m_memory->files.constFind(name);
    if (file == m_memory->files.constEnd()) {
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
    return *m_memory->pictures.insert(name, dotsOf(image));
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
        m_memory->files.clear();
        m_memory->pictures.clear();
        m_memory->bytes = 0;
        return;
    }
    m_memory->bytes -= m_memory->files.value(name).size();
    m_memory->files.remove(name);
    m_memory->pictures.remove(name);
}

} // namespace pelmar::preview
