#pragma once

#include "support/temp_folder.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace pelmar::test {

// True when the tests run under CI=true, where a missing cupsd is a failure, not a skip.
bool inCi();

// The path of a CUPS tool (lpadmin, cupsdisable, ppdc), or an empty text: the administration
// tools live in /usr/sbin, which is not on the PATH of a user who is not root.
QString cupsTool(const QString& name);

// A loopback TCP port number that was free a moment ago.
int freePort();

// Pelmar.INI without [Ports] (the printers are those of CUPS alone) for a data file of three
// fields, N, P and the quantity Q, and one format.
QByteArray cupsSettings(const QString& dataFile, const QString& format, int printMode);

// The PPD of Pelmar's TSPL driver for 203- or 300-dpi printers, as the build compiles it.
QString tsplPpd(int dotsPerInch = 203);

// Makes root/bin a ServerBin: CUPS's programs, every backend of CUPS and fail:, every filter of
// CUPS and the build's rastertotspl.
void makeServerBin(const QString& root);

// A cupsd of its own: private configuration, spool and programs in a temporary folder, loopback
// only. Its programs are CUPS's own, the build's filter rastertotspl, and one more backend,
// fail:, which refuses every job.
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();

    // Starts cupsd in the foreground; returns why it could not, or an empty text.
    QString start();
    // The server's address for CUPS_SERVER and -h.
    QString server() const;
    // lpadmin against this server for a raw queue; returns its output when it fails.
    QString addRawQueue(const QString& name, const QString& deviceUri,
                        const QString& description = {});
    // A queue with a PPD file and lpadmin options (-o NAME=VALUE each); "" or why it failed.
    QString addQueue(const QString& name, const QString& deviceUri, const QString& ppd,
                     const QStringList& options = {});
    // Runs a CUPS tool (cupsdisable, lp, ...) against this server with arguments; "" or why it
    // failed. What it said goes to *output.
    QString runTool(const QString& tool, const QStringList& arguments, QString* output = nullptr);
    // A filter program of the server's own (a shell script), which a PPD may name.
    void addFilter(const QString& name, const QByteArray& script);
    // The PPD of a model of CUPS's sample driver, compiled with ppdc ("zebraep2.ppd": Zebra
    // EPL2 at 203 dpi), or an empty text with the reason in *problem.
    QString samplePpd(const QString& fileName, QString* problem);
    // A folder the filters and devices of the server may write to.
    QString outputFolder() const;
    QString errorLog() const;

private:
    TempFolder m_root;
    int m_port;
    QProcess m_cupsd;
};

} // namespace pelmar::test
