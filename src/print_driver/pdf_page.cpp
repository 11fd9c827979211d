#include "print_driver/pdf_page.h"

#include "common/run_error.h"
#include "common/units.h"

#include <QPageLayout>
#include <QPdfWriter>

namespace pelmar::print_driver {

QPageSize pdfPageSize(const PageContent& page) {
    if (page.widthTwips <= 0 || page.heightTwips <= 0)
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("標籤尺寸不正確: %1 x %2 twips")
                                   .arg(page.widthTwips)
                                   .arg(page.heightTwips));
    // A twip is 1/20 point.
    return QPageSize(
        QSizeF(common::twipsToPoints(page.widthTwips), common::twipsToPoints(page.heightTwips)),
        QPageSize::Point, QString(), QPageSize::ExactMatch);
}

void preparePdfWriter(QPdfWriter& writer) {
    writer.setResolution(kPdfDotsPerInch);
    writer.setCreator(QStringLiteral("Pelmar"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageOrientation(QPageLayout::Portrait);
}

} // namespace pelmar::print_driver
