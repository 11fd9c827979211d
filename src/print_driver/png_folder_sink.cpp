#include "print_driver/png_folder_sink.h"

#include "common/run_error.h"
#include "preview/png_label_writer.h"
#include "print_driver/pdf_page.h"

namespace pelmar::print_driver {

namespace {

class PngFolderSink : public PageSink {
public:
    PngFolderSink(const QString& folder, int dotsPerInch)
        : m_writer(preview::createdFolder(folder)), m_dotsPerInch(dotsPerInch) {}

    QString deviceName() override { return QStringLiteral("Preview"); }
    int dotsPerInch() override { return m_dotsPerInch; }

    void sendJob(const PageContent& page, int copies) override {
        // A page the PDF file refuses is refused here too.
        pdfPageSize(page);
        const QImage picture = renderPageImage(page, m_dotsPerInch);
        for (int copy = 0; copy < copies; ++copy)
            m_writer.label(picture);
    }

private:
    preview::PngLabelWriter m_writer;
    int m_dotsPerInch;
};

} // namespace

std::unique_ptr<PageSink> makePngFolderSink(const QString& folder, int dotsPerInch) {
    return std::make_unique<PngFolderSink>(folder, dotsPerInch);
}

} // namespace pelmar::print_driver
