#pragma once

#include "common/code_page.h"
#include "preview/label_canvas.h"
#include "preview/label_sink.h"
#include "preview/printer_memory.h"
#include "preview/text_renderer.h"
#include "preview/tspl_arguments.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>

namespace pelmar::preview {

// Limits that keep any stream within bounded memory and time.
struct TsplLimits {
    int maxLabelWidth = 4000;             // dots
    int maxLabelHeight = 8000;            // dots
    qint64 maxDownloadBytes = 64LL << 20; // all files in printer memory together
    qsizetype maxLineBytes = 64 * 1024;
    long long maxLabelsPerPrint = 10000;
    int maxWarnings = 200;
};

// What the set-up commands left in the printer; lengths in dots.
struct PrinterSetup {
    int labelWidth = 0;
    int labelHeight = 0;
    int gap = 0;
    int gapOffset = 0;
    bool blackMark = false; // BLINE instead of GAP
    int offset = 0;
    QByteArray speed;
    QByteArray density;
    int direction = 1;
    bool mirror = false;
    int referenceX = 0;
    int referenceY = 0;
    QByteArray codePage;
    QMap<QByteArray, QByteArray> settings; // SET name -> value
};

// Hears the commands a printer answers at once instead of buffering them: <ESC>!x (status,
// cancel, ...) and the inquiries ~!x at the start of a line. They still leave no trace on the
// labels.
class TsplImmediateListener {
public:
    virtual ~TsplImmediateListener() = default;
    // <ESC>!code arrived between commands (never inside BITMAP or DOWNLOAD data).
    virtual void escapeCommand(char code) = 0;
    // ~!code began a line.
    virtual void inquiry(char code) = 0;
};

// The virtual printer: reads a TSPL byte stream fed in chunks of any size, keeps the printer's
// state and hands every printed label to the sink. Nothing it does not understand stops it:
// such input becomes a warning (one per command name for unknown commands).
class TsplInterpreter {
public:
    // dpi 203 (8 dots per mm) or 300 (12 dots per mm); texts of TEXT and readable barcodes are
    // decoded with codePage.
    TsplInterpreter(LabelSink& sink, int dpi = 203, common::CodePage codePage = common::CodePage(),
                    TsplLimits limits = {});
    ~TsplInterpreter();

    // Reads the next bytes of the stream. Throws what the sink throws.
    void feed(const char* data, qsizetype size);
    void feed(const QByteArray& bytes) { feed(bytes.constData(), bytes.size()); }
    // The stream has ended: a command or data block left unfinished becomes a warning.
    void finish();

    const QStringList& warnings() const { return m_warnings; }
    const PrinterSetup& setup() const { return m_setup; }
    // Labels handed to the sink so far.
    long long labelCount() const { return m_labelCount; }
    // Who hears <ESC>!x and ~!x as they are read; none by default.
    void setImmediateListener(TsplImmediateListener* listener) { m_immediate = listener; }
    // The part of the label (in the pixels of its printed picture, after DIRECTION and MIRROR)
    // that commands drew on since the last call, and starts over; empty when nothing was drawn.
    // A preview asks it after each element to learn where the element lies.
    QRect takeDrawnArea();
    // The bytes of a downloaded file (name in any letter case), empty when there is none.
    QByteArray storedFile(const QByteArray& name) const {
        return m_memory->files.value(name.toUpper());
    }
    // Keeps downloaded files in `memory` from now on, shared with other streams to the same
    // printer (each stream has a memory of its own until then).
    void shareMemory(std::shared_ptr<PrinterMemory> memory) { m_memory = std::move(memory); }

private:
    enum class Mode { Line, SkipLine, BitmapData, DownloadData, LengthData };
    // How the header of a command with binary content went: not complete yet, refused (the
    // rest of the line is skipped) or started (its content follows).
    enum class DataStart { NotYet, Refused, Started };
    struct Command;

    // Reading the stream and dispatching its commands (tspl_interpreter.cpp).
    void feedLine(const char* data, qsizetype size, qsizetype& pos);
    void feedBinary(const char* data, qsizetype size, qsizetype& pos);
    void skipRestOfLine();
    bool startBinaryCommand();
    bool startLengthContent(const std::vector<TsplArgument>& args);
    void endLine();
    void execute(const QByteArray& line);
    void warn(const QString& key, const QString& text);
    void warnAt(const QString& key, const QString& text);
    bool numbers(const Command& c, int first, int count, int* out);

    // The label buffer (tspl_label_buffer.cpp).
    LabelCanvas& canvas();
    void place(const DotBitmap& piece, int x, int y, int offsetX, int quarterTurns);
    void doPrint(const Command& c);

    // Set-up (tspl_setup_commands.cpp).
    void doSize(const Command& c);
    void doGapOrBline(const Command& c, bool blackMark);
    void doDirection(const Command& c);
    void doReference(const Command& c);
    void doSet(const Command& c);

    // Shapes (tspl_shape_commands.cpp).
    void doRectangle(const Command& c);
    void doBox(const Command& c);

    // Barcodes and 2D symbols (tspl_symbol_commands.cpp).
    void doBarcode(const Command& c);
    void doPdf417(const Command& c);
    void doDataMatrix(const Command& c);
    void doQrCode(const Command& c);

    // Text (tspl_text_command.cpp).
    void doText(const Command& c);

    // Pictures and the printer memory (tspl_picture_commands.cpp).
    DataStart startBitmap(const std::vector<TsplArgument>& args);
    void drawBitmapData(const char* data, long long size);
    DataStart startDownload(const std::vector<TsplArgument>& args);
    void keepDownload();
    void doPut(const Command& c);
    void doKill(const Command& c);
    std::optional<DotBitmap> picture(const QByteArray& name, bool bmp);

    LabelSink& m_sink;
    TsplImmediateListener* m_immediate = nullptr;
    int m_dpi;
    common::CodePage m_codePage;
    TsplLimits m_limits;
    TextRenderer m_text;
    PrinterSetup m_setup;
    std::unique_ptr<LabelCanvas> m_canvas;

    Mode m_mode = Mode::Line;
    QByteArray m_line;
    bool m_inQuote = false;
    int m_commas = 0;      // commas outside quotes in the line so far
    int m_escapeBytes = 0; // bytes of an <ESC>!x immediate command still to drop
    bool m_lastWasCr = false;
    long long m_lineNumber = 1;
    long long m_commandLine = 1;
    bool m_skippingProgram = false;

    // BITMAP and DOWNLOAD data in progress.
    long long m_dataTotal = 0;
    long long m_dataDone = 0;
    int m_bitmapX = 0;
    int m_bitmapY = 0;
    long long m_bitmapWidthBytes = 0;
    BitmapMode m_bitmapMode = BitmapMode::Overwrite;
    QByteArray m_downloadName;
    QByteArray m_downloadData;
    bool m_downloadKept = false;
    // The content of a PDF417 given by its length option Lm: m bytes without quotes.
    QByteArray m_lengthContent;
    bool m_hasLengthContent = false;

    std::shared_ptr<PrinterMemory> m_memory = std::make_shared<PrinterMemory>();
    QStringList m_warnings;
    QSet<QString> m_warningKeys;
    long long m_labelCount = 0;
};

} // namespace pelmar::preview
