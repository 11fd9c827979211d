#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <utility>

namespace {

// The includes of `forbidden` headers in files of src outside the folders `owners` matches, as
// "file:line: header".
QStringList includesOutside(const QRegularExpression& owners, const QRegularExpression& forbidden) {
    const QDir source(QStringLiteral(PELMAR_SOURCE_DIR "/src"));
    const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])"));
    int filesRead = 0;
    QStringList offences;
    QDirIterator files(source.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = source.relativeFilePath(path);
        if (owners.match(relative).hasMatch())
            continue;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        ++filesRead;
        int lineNumber = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++lineNumber;
            const QRegularExpressionMatch match = include.match(line);
            if (match.hasMatch() && forbidden.match(match.captured(1)).hasMatch())
                offences << QStringLiteral("%1:%2: %3")
                                .arg(relative)
                                .arg(lineNumber)
                                .arg(match.captured(1));
        }
    }
    EXPECT_GT(filesRead, 50);
    return offences;
}

TEST(IncludeBoundaries, OnlyTheOwningFolderIncludesItsHeaders) {
    const std::pair<QString, QString> boundaries[] = {
        // Only the window may use Qt Widgets or Qt PrintSupport; everything below it must build
        // and run without them.
        {"^shell/gui/",
         R"(^(QtWidgets|QtPrintSupport)(/|$)|^Q(Application|Widget|MainWindow|Dialog|MessageBox|)"
         R"(PrintDialog|Printer|PrinterInfo|FileDialog|PushButton|Label|LineEdit|TableView)$)"},
        // Only print_queue talks to the print system; the rest is tested with its fake. The CUPS
        // driver is a filter the print system runs.
        {"^(print_queue|cups_driver)/", R"(^cups/)"},
    };
    for (const auto& [owner, forbidden] : boundaries)
        EXPECT_EQ(includesOutside(QRegularExpression(owner), QRegularExpression(forbidden)),
                  QStringList())
            << owner.toStdString();
}

} // namespace
