#include "data/data_grid.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

state::WorkingState threeFields() {
    state::WorkingState s;
    s.fieldCount = 3;
    s.field.recreate(4, 5);
    const char* widths[] = {"", "8", "20", "300"};
    const char* names[] = {"", "ITEM", "NAME", "QTY"};
    for (int j = 1; j <= 3; ++j) {
        s.field.set(j, 0, QString::fromLatin1(names[j]));
        s.field.set(j, 2, QString::fromLatin1(widths[j]));
    }
    s.delimiter = QStringLiteral(";");
    s.recordCount = 1;
    s.records.recreate(2, 4);
    s.records.set(1, 1, QStringLiteral("A"));
    s.records.set(1, 3, QStringLiteral("C"));
    return s;
}

TEST(DataGrid, HeadersAndWidths) {
    const data::GridLayout layout = data::gridLayout(threeFields());
    EXPECT_EQ(layout.headers, (QStringList{"資料數", "ITEM", "NAME", "QTY"}));
    // 8 x 130 = 1040 is below the minimum; 20 x 130 = 2600; 300 bytes would overflow 16 bits.
    EXPECT_EQ(layout.widthTwips, (QList<int>{800, 1300, 2600, 32767}));
}

TEST(DataGrid, RecordNumbersHaveFourDigits) {
    EXPECT_EQ(data::recordNumberText(7), "0007");
    EXPECT_EQ(data::recordNumberText(9999), "9999");
    EXPECT_EQ(data::recordNumberText(10000), "10000");
}

TEST(DataGrid, ClickShowsTheRecordWithBlanksForEmptyFields) {
    state::WorkingState s = threeFields();
    EXPECT_EQ(data::MSFlexGrid1_Click(s, 1), "A; ;C");
    EXPECT_EQ(s.currentRecord, 1);

    s.recordCount = 0;
    s.currentRecord = 5;
    EXPECT_EQ(data::MSFlexGrid1_Click(s, 1), "");
    EXPECT_EQ(s.currentRecord, 5);
}

} // namespace
