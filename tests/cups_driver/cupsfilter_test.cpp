#include "support/private_cups.h"
#include "support/temp_folder.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A 60 x 40 mm PDF label through the queue's whole chain (pdftopdf, gstoraster and the built
// filter, as cupsfilter runs them with the built PPD): the options the printer description
// offers reach the filter through the raster header. About 1 s, most of it Ghostscript.
TEST(CupsFilterChainTest, ThePrinterDescriptionsOptionsBecomeTsplSetUp) {
    const QStringList options = {"MediaType=BlackMark", "TsplGap=2mm", "cupsDarkness=12",
                                 "TsplSpeed=2", "TsplDirection=0"};
    const QByteArray setup =
        "SIZE 60 mm,40 mm\r\nBLINE 2 mm,0\r\nSPEED 2\r\nDENSITY 12\r\nDIRECTION 0\r\nCLS\r\n";
    pelmar::test::TempFolder folder;
    pelmar::test::makeServerBin(folder.path());
    folder.write(QStringLiteral("files.conf"), "ServerBin " + folder.file("bin").toUtf8() + "\n");
    {
        QPdfWriter pdf(folder.file(QStringLiteral("label.pdf")));
        pdf.setPageSize(QPageSize(QSizeF(60, 40), QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF());
        QPainter(&pdf).fillRect(QRect(0, 0, 200, 100), Qt::black);
    }
    QStringList arguments = {
        "-e", "-m", "printer/tspl", "-c", folder.file("files.conf"), "-p", pelmar::test::tsplPpd()};
    for (const QString& option : options)
        arguments << "-o" << option;
    QProcess cupsfilter;
    // In /usr/sbin, which is not on the PATH of a user who is not root.
    cupsfilter.start(pelmar::test::cupsTool(QStringLiteral("cupsfilter")),
                     arguments << folder.file("label.pdf"));
    ASSERT_TRUE(cupsfilter.waitForFinished(20000));
    const QByteArray tspl = cupsfilter.readAllStandardOutput();
    EXPECT_EQ(tspl.left(setup.size()), setup) << cupsfilter.readAllStandardError().toStdString();
    EXPECT_TRUE(tspl.contains("\r\nBITMAP 0,0,")) << "no ink from the top row";
    EXPECT_TRUE(tspl.endsWith("\r\nPRINT 1,1\r\n"));
}

} // namespace
