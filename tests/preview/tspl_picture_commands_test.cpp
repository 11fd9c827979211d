// The virtual printer's file memory: what DOWNLOAD stores, KILL must take away again, together
// with the picture decoded from it and the room it took.

#include "preview/tspl_interpreter.h"

#include "render_helpers.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

using test::blackDots;
using test::labelHead;

// A 16 x 16 all-black picture as a BMP file.
QByteArray blackBmp() {
    QImage image(16, 16, QImage::Format_Mono);
    image.fill(0);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QByteArray download(const QByteArray& name, const QByteArray& data) {
    return "DOWNLOAD \"" + name + "\"," + QByteArray::number(data.size()) + "," + data + "\r\n";
}

// A label that draws the picture NAME at 0,0.
QByteArray putLabel(const QByteArray& name) {
    return labelHead() + "PUTBMP 0,0,\"" + name + "\"\r\nPRINT 1\r\n";
}

TEST(TsplMemoryTest, KillRemovesTheNamedDownload) {
    const struct {
        const char* kill;  // the KILL line
        bool logoRemains;  // "LOGO.BMP" still stored afterwards
        bool otherRemains; // "OTHER.BMP" still stored afterwards
    } cases[] = {
        {"KILL \"LOGO.BMP\"", false, true},
        {"KILL \"logo.bmp\"", false, true}, // names are kept in capitals
        {"KILL F,\"LOGO.BMP\"", false, true},
        {"KILL \"*\"", false, false},
        {"KILL \"NONE.BMP\"", true, true},
        {"KILL LOGO.BMP", true, true}, // an unquoted name is no name
    };
    const QByteArray bmp = blackBmp();
    for (const auto& c : cases) {
        test::CollectingSink sink;
        TsplInterpreter interpreter(sink);
        // The first label decodes the picture, so KILL must drop the decoded copy too.
        interpreter.feed(download("LOGO.BMP", bmp) + download("OTHER.BMP", bmp) +
                         putLabel("LOGO.BMP") + c.kill + "\r\n" + putLabel("LOGO.BMP"));
        interpreter.finish();
        EXPECT_EQ(!interpreter.storedFile("LOGO.BMP").isEmpty(), c.logoRemains) << c.kill;
        EXPECT_EQ(!interpreter.storedFile("OTHER.BMP").isEmpty(), c.otherRemains) << c.kill;
        ASSERT_EQ(sink.labels.size(), 2u) << c.kill;
        EXPECT_EQ(blackDots(sink.labels[0], 0, 0, 16, 16), 256) << c.kill;
        EXPECT_EQ(blackDots(sink.labels[1], 0, 0, 16, 16), c.logoRemains ? 256 : 0) << c.kill;
    }
}

// The room a killed file took is free again for the next download.
TEST(TsplMemoryTest, KillFreesTheRoomOfTheFile) {
    TsplLimits limits;
    limits.maxDownloadBytes = 10;
    const struct {
        const char* kill;
        bool secondStored;
    } cases[] = {
        {"KILL \"A.PCX\"", true},
        {"KILL \"*\"", true},
        {"KILL \"C.PCX\"", false},
    };
    for (const auto& c : cases) {
        test::CollectingSink sink;
        TsplInterpreter interpreter(sink, 203, common::CodePage(), limits);
        interpreter.feed(download("A.PCX", "12345678") + c.kill + "\r\n" +
                         download("B.PCX", "abcdefgh"));
        interpreter.finish();
        EXPECT_EQ(interpreter.storedFile("B.PCX") == "abcdefgh", c.secondStored) << c.kill;
    }
}

} // namespace
} // namespace pelmar::preview
