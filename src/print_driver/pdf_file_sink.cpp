#include "print_driver/pdf_file_sink.h"

#include "common/run_error.h"
#include "print_driver/pdf_page.h"

#include <QPainter>
#include <QPdfWriter>

namespace pelmar::print_driver {

namespace {

using common::RunError;

class PdfFileSink : public PageSink {
public:
    PdfFileSink(QString fileName, int dotsPerInch)
        : m_fileName(std::move(fileName)), m_dotsPerInch(dotsPerInch) {}
    ~PdfFileSink() override {
        if (m_painter && m_painter->isActive())
            m_painter->end();
    }

    QString deviceName() override { return QStringLiteral("PDF"); }
    int dotsPerInch() override { return m_dotsPerInch; }

    void sendJob(const PageContent& page, int copies) override {
        if (m_finished)
            throw RunError(common::PathFileAccessError,
                           QStringLiteral("PDF 檔已關閉: %1").arg(m_fileName));
        const QPageSize size = pdfPageSize(page);
        for (int copy = 0; copy < copies; ++copy) {
            if (!m_writer) {
                m_writer = std::make_unique<QPdfWriter>(m_fileName);
                preparePdfWriter(*m_writer);
                m_writer->setPageSize(size);
                m_painter = std::make_unique<QPainter>();
                if (!m_painter->begin(m_writer.get()))
                    throw RunError(common::PathFileAccessError,
                                   QStringLiteral("無法寫入 PDF 檔: %1").arg(m_fileName));
            } else {
                m_writer->setPageSize(size);
                m_writer->newPage();
            }
            page.render(*m_painter, kPdfDotsPerInch);
        }
    }

    void finish() override {
        if (m_finished)
            return;
        m_finished = true;
        if (m_painter && m_painter->isActive() && !m_painter->end())
            throw RunError(common::PathFileAccessError,
                           QStringLiteral("無法寫入 PDF 檔: %1").arg(m_fileName));
    }

private:
    QString m_fileName;
    int m_dotsPerInch;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_finished = false;
};

} // namespace

std::unique_ptr<PageSink> makePdfFileSink(const QString& fileName, int dotsPerInch) {
    return std::make_unique<PdfFileSink>(fileName, dotsPerInch);
}

} // namespace pelmar::print_driver
