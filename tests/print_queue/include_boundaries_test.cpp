#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Headers that only one folder of src may include.
struct IncludeBoundary {
    const char* owner; // the folder, relative to src
    const char* forbidden;
} const kBoundaries[] = {
    // Only the window may use Qt Widgets or Qt PrintSupport; everything below it must build and
    // run without them.
    {"shell/gui/",
     R"(^(QtWidgets|QtPrintSupport)(/|$)|^Q(Application|Widget|MainWindow|Dialog|MessageBox|)"
     R"(PrintDialog|Printer|PrinterInfo|FileDialog|PushButton|Label|LineEdit|TableView)$)"},
    // Only print_queue talks to the print system; the rest is tested with its fake.
    {"print_queue/", R"(^cups/)"},
};

TEST(IncludeBoundaries, OnlyTheOwningFolderIncludesItsHeaders) {
    const QDir source(QStringLiteral(PELMAR_SOURCE_DIR "/src"));
    const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])"));
    for (const IncludeBoundary& boundary : kBoundaries) {
        SCOPED_TRACE(boundary.owner);
        const QRegularExpression forbidden(QString::fromLatin1(boundary.forbidden));
        int filesRead = 0;
        QStringList offences;
        QDirIterator files(source.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString relative = source.relativeFilePath(path);
            if (relative.startsWith(QLatin1String(boundary.owner)))
                continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
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
        EXPECT_TRUE(offences.isEmpty()) << offences.join(u'\n').toStdString();
    }
}

} // namespace
