#include "shell/app/command_preview.h"

#include "preview/label_sink.h"
#include "preview/tspl_interpreter.h"
#include "print_command/label_composer.h"
#include "print_command/label_refused.h"
#include "print_command/tspl_library.h"

#include <memory>

namespace pelmar::app {

namespace {

// The virtual printer's resolution: format positions are its dots, 8 to a millimetre.
constexpr int kFormatDotsPerInch = 203;
constexpr double kFormatDotsPerMillimetre = 8.0;

// Keeps the first printed label.
class FirstLabel : public preview::LabelSink {
public:
    void label(const QImage& picture) override {
        if (this->picture.isNull())
            this->picture = picture;
    }
    QImage picture;
};

// A port whose bytes go straight into the virtual printer, as they are written.
class InterpreterPort : public common::BytePort {
public:
    explicit InterpreterPort(preview::TsplInterpreter& interpreter) : m_interpreter(interpreter) {}
    void write(const QByteArray& bytes) override { m_interpreter.feed(bytes); }
    void close() override { m_interpreter.finish(); }
    bool isPhysical() const override { return false; }
    QStringList warnings() const override { return m_interpreter.warnings(); }

private:
    preview::TsplInterpreter& m_interpreter;
};

// The printer commands of one label on the virtual printer, noting where each element drew:
// every command is drawn before its call returns, so the area drawn between two elements'
// starts is the first one's.
class ElementMarkingLibrary : public print_command::TsplLibrary {
public:
    ElementMarkingLibrary(const common::CodePage& codePage, preview::TsplInterpreter& interpreter,
                          std::vector<PreviewElement>& elements)
        : TsplLibrary(codePage,
                      [&interpreter](const QString&) {
                          return std::make_unique<InterpreterPort>(interpreter);
                      }),
          m_interpreter(interpreter), m_elements(elements) {}

    void startElement(int formatLine) override {
        endElement();
        m_line = formatLine;
    }
    void printlabel(const QString& sets, const QString& copies) override {
        endElement();
        TsplLibrary::printlabel(sets, copies);
    }

private:
    void endElement() {
        const QRect area = m_interpreter.takeDrawnArea();
        if (m_line > 0 && !area.isEmpty())
            m_elements.push_back({m_line, area});
        m_line = 0;
    }

    preview::TsplInterpreter& m_interpreter;
    std::vector<PreviewElement>& m_elements;
    int m_line = 0;
};

} // namespace

void drawCommandPreview(const state::WorkingState& state, int record, const QDate& today,
                        LabelPreview& preview) {
    FirstLabel printed;
    preview::TsplInterpreter interpreter(printed, kFormatDotsPerInch, state.codePage);
    std::vector<PreviewElement> elements;
    ElementMarkingLibrary library(state.codePage, interpreter, elements);
    try {
        library.openport(state.printerName);
        print_command::DownloadGraphics(state, library);
        print_command::ComposeLabel(state, library, record, /*forRun=*/true, today);
        library.printlabel(QStringLiteral("1"), QStringLiteral("1"));
        library.closeport();
    } catch (const print_command::LabelRefused& refused) {
        preview.cannotDraw = refused.description();
        return;
    }
    preview.picture = printed.picture;
    preview.dotsPerMillimetre = kFormatDotsPerMillimetre;
    preview.elements = std::move(elements);
    for (const QString& warning : library.warnings())
        preview.problems.push_back({0, false, QStringLiteral("印表機無法照格式印出: ") + warning});
}

} // namespace pelmar::app
