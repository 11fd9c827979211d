#include "support/pdf_scan.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace pelmar::test {

namespace {

// Runs a program and returns its standard output; a failure to run it fails the test.
QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QStringList rasterise(const QString& pdf, int dpi, const QString& folder) {
    output(QStringLiteral("pdftoppm"),
           {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
            QStringLiteral("-png"), pdf, folder + QStringLiteral("/page")});
    QStringList pages;
    for (const QString& name :
         QDir(folder).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name))
        pages << folder + u'/' + name;
    return pages;
}

QStringList scan(const QString& picture) {
    QStringList symbols = output(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), picture})
                              .split(u'\n', Qt::SkipEmptyParts);
    symbols.sort();
    return symbols;
}

} // namespace pelmar::test
