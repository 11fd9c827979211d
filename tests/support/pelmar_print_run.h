#pragma once

#include "support/temp_folder.h"

#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <vector>

namespace pelmar::test {

// The environment a program of Pelmar runs in for a test: the program folder home, Qt's offscreen
// platform and the CUPS server at cupsServer (an address nothing answers at: only the printers of
// section [Ports] exist).
QProcessEnvironment programEnvironment(const QString& home, const QString& cupsServer);

// How a run of pelmar-print ended: its exit code (-1 when it crashed), its standard error and
// its standard output.
struct ToolRun {
    int exitCode = -1;
    QString err;
    QString out;
};

// Runs pelmar-print without options on the program folder home, with no CUPS server to reach,
// so only the printers of section [Ports] exist; waits at most timeoutMs.
ToolRun runPelmarPrint(const TempFolder& home, int timeoutMs = 60000);

// The same on the program folder at path home, with options.
ToolRun runPelmarPrint(const QString& home, const QStringList& arguments, int timeoutMs = 60000);

// The same with the CUPS server at the address (host:port) as the print system.
ToolRun runPelmarPrintWithCups(const QString& cupsServer, const QString& home,
                               const QStringList& arguments, int timeoutMs = 120000);

// Starts pelmar-print on the program folder home with the CUPS server at cupsServer; the caller
// waits for it.
void startPelmarPrint(QProcess& process, const QString& home, const QString& cupsServer,
                      const QStringList& arguments);

// Every line of a program's output as a JSON object; a line that is not one fails the test.
std::vector<QJsonObject> jsonLines(const QString& out);

// Copies the example shop with its driver/ folder into shop; with records given, ITEMS.TXT keeps
// only the records at those lines (0: the first). Returns the first kept record's item code.
QString copyExampleShop(const TempFolder& shop, const QList<int>& records = {});

} // namespace pelmar::test
