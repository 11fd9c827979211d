#include "format/picture_check.h"

#include "common/file_names.h"
#include "common/pcx_decoder.h"
#include "common/run_error.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace pelmar::format {

namespace {

// A label's picture is far smaller (a whole 104 x 152 mm label at 300 dpi in 24-bit BMP is about
// 7 MB); a larger file is not read into memory.
constexpr qint64 kMostPictureBytes = 32LL << 20;

PictureFound refused(const QString& text) {
    return {QSize(), text};
}

PictureFound decodedPcx(const QByteArray& bytes, const QString& fileName) {
    try {
        const QImage image = common::decodePcx(bytes);
        if (!image.isNull())
            return {image.size(), QString()};
    } catch (const common::RunError&) {
    }
    return refused(QStringLiteral("圖檔 %1 不是可以解讀的 PCX 圖檔").arg(fileName));
}

// format empty: any picture format Qt reads. The size in the header is checked before the
// picture is decoded, so a forged header cannot take the memory.
PictureFound decodedImage(QByteArray bytes, const QString& fileName, const QByteArray& format) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QString kind = format.isEmpty() ? QStringLiteral("圖檔") : QStringLiteral("BMP 圖檔");
    if (!reader.canRead())
        return refused(QStringLiteral("圖檔 %1 不是可以解讀的%2").arg(fileName, kind));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > common::kMaxPcxPixels)
        return refused(QStringLiteral("圖檔 %1 有 %2 x %3 像素, 太大")
                           .arg(fileName)
                           .arg(size.width())
                           .arg(size.height()));
    const QImage image = reader.read();
    if (image.isNull())
        return refused(QStringLiteral("圖檔 %1 已損壞, 無法解讀").arg(fileName));
    return {image.size(), QString()};
}

} // namespace

PictureFound findPicture(const QString& programFolder, const QString& fileName, PictureUse use) {
    const QString upper = fileName.toUpper();
    const bool pcxName = upper.endsWith(QStringLiteral("PCX"));
    const bool placed = pcxName || upper.endsWith(QStringLiteral("BMP"));
    const QString path = common::resolveFileName(common::joinPath(programFolder, fileName));
    if (fileName.isEmpty() || path.isEmpty())
        return refused(
            QStringLiteral("在程式資料夾 %1 找不到圖檔 %2").arg(programFolder, fileName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("圖檔 %1 無法讀取 (沒有讀取權限?)").arg(fileName));
    if (file.size() > kMostPictureBytes)
        return refused(
            QStringLiteral("圖檔 %1 有 %2 MB, 太大").arg(fileName).arg(file.size() >> 20));
    const QByteArray bytes = file.readAll();
    // The printer gets any file, but places only a PCX or BMP: nothing of the others to read.
    if (use == PictureUse::PrinterFile && !placed)
        return {};
    if (use == PictureUse::PrinterFile)
        return pcxName ? decodedPcx(bytes, fileName) : decodedImage(bytes, fileName, "bmp");
    // As the page drawing reads it: a PCX file starts with the byte 10.
    if (upper.endsWith(QStringLiteral(".PCX")) || bytes.startsWith('\x0a'))
        return decodedPcx(bytes, fileName);
    return decodedImage(bytes, fileName, QByteArray());
}

} // namespace pelmar::format
