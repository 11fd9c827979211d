#include "print_driver/pdf_page.h"

#include "common/run_error.h"
#include "common/units.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace pelmar::print_driver {

QPageSize pdfPageSize(const PageContent& page) {
    if (page.widthTwips <= 0 || page.heightTwips <= 0)
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("標籤尺寸不正確: %1 x %2 twips")
                                   .arg(page.widthTwips)
                                   .arg(page.heightTwips));
    return QPageSize(pdfPagePoints(page), QPageSize::Point, QString(), QPageSize::ExactMatch);
}

QSizeF pdfPagePoints(const PageContent& page) {
    return {common::twipsToPoints(page.widthTwips), common::twipsToPoints(page.heightTwips)};
}

void preparePdfWriter(QPdfWriter& writer) {
    writer.setResolution(kPdfDotsPerInch);
    writer.setCreator(QStringLiteral("Pelmar"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageOrientation(QPageLayout::Portrait);
}

void renderPdfPage(QPainter& painter, const QPdfWriter& writer, const PageContent& page) {
    const double writerHeight = writer.pageLayout().fullRectPoints().height();
    const double rise = pdfPagePoints(page).height() - writerHeight;
    painter.save();
    painter.translate(0, -common::twipsToPixels(common::pointsToTwips(rise), writer.resolution()));
    page.render(painter, writer.resolution());
    painter.restore();
}

} // namespace pelmar::print_driver
