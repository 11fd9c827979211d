#include "print_driver/image_page_sink.h"

#include "print_driver/pdf_page.h"

namespace pelmar::print_driver {

void ImagePageSink::sendJob(const PageContent& page, int copies) {
    // The same size check as a PDF page.
    pdfPageSize(page);
    jobs.push_back(Job{renderPageImage(page, m_dotsPerInch), copies});
}

} // namespace pelmar::print_driver
