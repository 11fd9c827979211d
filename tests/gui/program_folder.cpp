#include "gui/program_folder.h"

#include <QStringList>

namespace pelmar::test {

namespace {

QByteArray crlf(const QStringList& lines) {
    return big5(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

void writeProgramFolder(const TempFolder& folder, const ProgramFolderOptions& options) {
    const QStringList names = {QStringLiteral("蘋果汁"), QStringLiteral("烏龍茶"),
                               QStringLiteral("鮮奶"), QStringLiteral("豆漿")};
    if (options.withDataFile) {
        QStringList items;
        for (int i = 1; i <= options.records; ++i)
            items << QStringLiteral("%1,%2%3,%4,%5")
                         .arg(4710000000000LL + i)
                         .arg(names[i % names.size()])
                         .arg(i)
                         .arg(i * 7 % 300 + 10)
                         .arg(i % 3 + 1);
        folder.write(QStringLiteral("ITEMS.TXT"), crlf(items));
    }
    const QStringList format = {QStringLiteral("LabelWidth=60"),
                                QStringLiteral("LabelHeight=40"),
                                QStringLiteral("LabelGap=2"),
                                QStringLiteral("PrintSpeed=4"),
                                QStringLiteral("PrintDarken=8"),
                                QStringLiteral("Direction=0"),
                                QStringLiteral("SetStripe=OFF"),
                                QStringLiteral("SetCutter=OFF"),
                                QStringLiteral("Box=10,10,470,310,3"),
                                QStringLiteral("V_Text=20,20,48,0,0,0,新細明體,2"),
                                QStringLiteral("V_Barcode=20,160,128M,80,2,0,2,4,1")};
    folder.write(QStringLiteral("PRICE.FMT"), crlf(format));
    folder.write(QStringLiteral("SHELF.FMT"), crlf(format));
    if (!options.withSettings)
        return;
    QStringList ini = {QStringLiteral("[Files]"),
                       QStringLiteral("TextFileName=") + folder.file(QStringLiteral("ITEMS.TXT")),
                       QStringLiteral("LabelCount=%1").arg(options.labelCount)};
    const QStringList formats = {QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")};
    for (int i = 1; i <= options.labelCount && i <= formats.size(); ++i)
        ini << QStringLiteral("LabelName%1=%2").arg(i, 2, 10, QLatin1Char('0')).arg(formats[i - 1]);
    ini << QStringLiteral("[Printer]") << QStringLiteral("PrintMode=%1").arg(options.printMode)
        << QStringLiteral("PrinterName=TSC TEST") << QStringLiteral("[Label]")
        << QStringLiteral("Across=1") << QStringLiteral("[Fields]")
        << QStringLiteral("FieldCutIndex=0") << QStringLiteral("Delimiter=,")
        << QStringLiteral("EditPrice=%1").arg(options.editPrice)
        << QStringLiteral("EditPriceField=3") << QStringLiteral("ADPrice=%1").arg(options.adPrice)
        << QStringLiteral("FieldCount=4") << QStringLiteral("Field01=條碼,1,13,1,0")
        << QStringLiteral("Field02=品名,1,20,1,0") << QStringLiteral("Field03=售價,1,8,1,1")
        << QStringLiteral("Field04=數量,1,4,1,0") << QStringLiteral("[Ports]")
        << QStringLiteral("TSC TEST=trace:") + folder.file(QStringLiteral("trace.txt"));
    folder.write(QStringLiteral("Pelmar.INI"), crlf(ini));
}

qint64 writeRunWithRecordThreeInDoubt(const TempFolder& folder, const journal::RunStart& start,
                                      int records, const std::function<int(int)>& quantity) {
    using enum journal::RecordState;
    auto journal =
        journal::Journal::open(folder.file(QLatin1String(journal::kDefaultJournalFileName)));
    const qint64 run = journal->startRun(start);
    for (int record = 1; record <= records; ++record) {
        journal->setRecord(run, record, quantity(record), Sending);
        journal->setRecord(run, record, quantity(record), record == 3 ? InDoubt : Sent);
    }
    journal->finishRun(run, QStringLiteral("printed, records in doubt"), 10);
    return run;
}

} // namespace pelmar::test
