#include "print_driver/pdf_file_sink.h"

#include "common/file_writer.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "common/system_error_text.h"
#include "print_driver/exact_media_box.h"
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
        m_writer.reset();
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
                open(size);
            } else {
                m_writer->setPageSize(size);
                m_writer->newPage();
            }
            // The writer wrote the page before with its own size when it began this one.
            m_exact.setPageSize(pdfPagePoints(page));
            renderPdfPage(*m_painter, *m_writer, page);
        }
        // The writer does not tell a failed write: a full disk shows in the file's error.
        onFile([this] { m_file.check(); });
    }

    void finish() override {
        if (m_finished)
            return;
        m_finished = true;
        if (!m_painter)
            return;
        if (m_painter->isActive() && !m_painter->end())
            fail(m_file.errorString());
        // On the disk before the run says it is done.
        onFile([this] { m_file.finish(); });
    }

private:
    [[noreturn]] void fail(const QString& reason) const {
        throw RunError(common::PathFileAccessError,
                       QStringLiteral("無法寫入 PDF 檔 %1: %2")
                           .arg(m_fileName, common::systemErrorText(reason)));
    }

    // A step of the file's, whose failure is worded as the PDF file's.
    template <typename Step> void onFile(Step step) {
        try {
            step();
        } catch (const common::FileWriteError& error) {
            fail(error.reason());
        }
    }

    void open(const QPageSize& size) {
        onFile([this] { m_file.create(); });
        m_exact.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        m_writer = std::make_unique<QPdfWriter>(&m_exact);
        preparePdfWriter(*m_writer);
        m_writer->setPageSize(size);
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(m_writer.get()))
            fail(m_file.errorString());
    }

    QString m_fileName;
    int m_dotsPerInch;
    // Every write of the writer goes through this file, whose errors are checked.
    common::OutputFile m_file{m_fileName};
    ExactMediaBoxDevice m_exact{m_file};
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_finished = false;
};

} // namespace

std::unique_ptr<PageSink> makePdfFileSink(const QString& fileName, int dotsPerInch) {
    return std::make_unique<PdfFileSink>(fileName, dotsPerInch);
}

} // namespace pelmar::print_driver
