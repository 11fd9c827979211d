#include "print_driver/exact_media_box.h"

#include "print_driver/pdf_file_sink.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pelmar::print_driver {
namespace {

TEST(ExactMediaBox, NumbersKeepTheWritersWidth) {
    struct Case {
        const char* written;
        double exact;
        const char* expected;
    };
    for (const Case& c : {
             Case{"170.000000", 170.1, "170.100000"},
             Case{"85.000000", 85.05, "85.050000"},
             Case{"100.000000", 99.6, " 99.600000"}, // the writer rounded up a digit
             Case{"9.000000", 12.25, "12.25000"},    // fewer decimals, never more bytes
             Case{"7", 7.4, "7"},
             Case{"7", 12.5, ""}, // cannot fit: the writer's number stays
             Case{"", 1.0, ""},
         }) {
        EXPECT_EQ(sameWidthNumber(c.written, c.exact), QByteArray(c.expected)) << c.written;
    }
}

PageContent labelPage(std::int32_t widthTwips, std::int32_t heightTwips) {
    PageContent page;
    page.widthTwips = widthTwips;
    page.heightTwips = heightTwips;
    page.addBox(QPen(Qt::black, 10), 100, 100, widthTwips - 100.0, heightTwips - 100.0);
    return page;
}

// Pages of two sizes in one file: each page states its own exact size, and every object is
// still where the cross-reference table says it is.
TEST(ExactMediaBox, EveryPageOfAPdfFileHasItsExactSizeAndTheFileStaysWhole) {
    test::TempFolder folder;
    const QString pdf = folder.file(QStringLiteral("sizes.pdf"));
    {
        auto sink = makePdfFileSink(pdf);
        sink->sendJob(labelPage(3402, 2268), 2); // 60 x 40 mm
        sink->sendJob(labelPage(4536, 1701), 1); // 80 x 30 mm
        sink->sendJob(labelPage(3402, 2268), 1);
        sink->finish();
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString text = QString::fromLatin1(bytes);

    const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 +([0-9.]+) ([0-9.]+)\\]"));
    std::vector<std::pair<double, double>> sizes;
    for (auto boxes = mediaBox.globalMatch(text); boxes.hasNext();) {
        const auto match = boxes.next();
        sizes.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    const std::vector<std::pair<double, double>> expected{
        {170.1, 113.4}, {170.1, 113.4}, {226.8, 85.05}, {170.1, 113.4}};
    EXPECT_EQ(sizes, expected);

    const QRegularExpressionMatch start =
        QRegularExpression(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$")).match(text);
    ASSERT_TRUE(start.hasMatch());
    const qsizetype table = start.captured(1).toLongLong();
    const QRegularExpressionMatch head =
        QRegularExpression(QStringLiteral("\\Gxref\\s+(\\d+) (\\d+)\\s+"))
            .match(text, table, QRegularExpression::NormalMatch,
                   QRegularExpression::AnchorAtOffsetMatchOption);
    ASSERT_TRUE(head.hasMatch());
    const int first = head.captured(1).toInt();
    const int entries = head.captured(2).toInt();
    for (int i = 0; i < entries; ++i) {
        const QByteArray entry = bytes.mid(head.capturedEnd() + 20 * i, 20);
        if (entry.at(17) != 'n')
            continue;
        const qsizetype offset = entry.left(10).toLongLong();
        EXPECT_TRUE(bytes.mid(offset).startsWith(QByteArray::number(first + i) + " 0 obj"))
            << "object " << first + i;
    }
}

} // namespace
} // namespace pelmar::print_driver
