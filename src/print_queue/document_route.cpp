#include "print_queue/document_route.h"

#include <QList>
#include <QRegularExpression>

namespace pelmar::print_queue {

namespace {

// One filter line of a printer description: the format it reads and its program.
struct Filter {
    QString source;
    QString program;
};

// *cupsFilter: "SOURCE COST PROGRAM" and *cupsFilter2: "SOURCE DESTINATION COST PROGRAM".
QList<Filter> filtersOf(const QByteArray& ppd) {
    static const QRegularExpression line(QStringLiteral(R"(^\*cupsFilter(2?)\s*:\s*"([^"]*)\")"),
                                         QRegularExpression::MultilineOption);
    QList<Filter> filters;
    for (auto match = line.globalMatch(QString::fromUtf8(ppd)); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QStringList words = found.captured(2).simplified().split(u' ');
        const qsizetype fields = found.captured(1).isEmpty() ? 3 : 4;
        if (words.size() >= fields)
            filters.append({words.front(), words.mid(fields - 1).join(u' ')});
    }
    return filters;
}

} // namespace

DocumentRoute routeOf(const QByteArray& ppd, const QStringList& documentFormats) {
    DocumentRoute route;
    route.ppd = ppd;
    for (const Filter& filter : filtersOf(ppd)) {
        if (filter.source != QLatin1String("application/vnd.cups-raster"))
            continue;
        route.format = DocumentFormat::CupsRaster;
        // The program may be named with its folder.
        if (filter.program.section(u'/', -1) == QLatin1String(kTsplFilterName))
            route.holdsJobsUntilPrinted = true;
    }
    if (route.format == DocumentFormat::Pdf &&
        documentFormats.contains(QLatin1String("image/pwg-raster")) &&
        !documentFormats.contains(QLatin1String("application/pdf")))
        route.format = DocumentFormat::PwgRaster;
    return route;
}

} // namespace pelmar::print_queue
