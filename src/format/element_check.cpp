#include "format/element_check.h"

#include "barcode/data_check.h"
#include "barcode/type_names.h"
#include "common/numbers.h"
#include "format/format_file.h"
#include "format/picture_check.h"

#include <array>
#include <cmath>
#include <optional>
#include <span>

namespace pelmar::format {

namespace {

// Command-mode positions are printer dots, measured here at the finest head (300 dpi); driver
// mode places texts, barcodes and pictures at 8 dots a millimetre and lines and boxes in twips.
constexpr double kFinestDotsPerMm = 12;
constexpr double kDriverDotsPerMm = 8;
constexpr double kTwipsPerMm = 56.7;

enum class Rule {
    Free,        // text, face, field expression: not read here
    X,           // position across the label (dots, or twips for driver lines and boxes)
    Y,           // position along the label
    Size,        // a size in dots or points: above 0, 16-bit
    Whole,       // a 16-bit parameter
    Turn,        // a barcode's rotation: the printer ignores a barcode turned otherwise
    WidthMm,     // a picture's width in millimetres, at most the label's
    HeightMm,    // a picture's height in millimetres
    PrinterType, // a barcode type of the printer
    DriverFont,  // a barcode font of the driver
    Picture,     // a picture file
};

struct Field {
    const char16_t* name;
    Rule rule;
};

constexpr Field kX{u"x 座標", Rule::X};
constexpr Field kY{u"y 座標", Rule::Y};
constexpr Field kCommandBar[] = {kX, kY, {u"寬度", Rule::Size}, {u"高度", Rule::Size}};
constexpr Field kCommandBox[] = {{u"x 起點", Rule::X},
                                 {u"y 起點", Rule::Y},
                                 {u"x 終點", Rule::X},
                                 {u"y 終點", Rule::Y},
                                 {u"線寬", Rule::Size}};
constexpr Field kCommandText[] = {kX,
                                  kY,
                                  {u"字高", Rule::Size},
                                  {u"旋轉角度", Rule::Whole},
                                  {u"字型樣式", Rule::Whole},
                                  {u"底線", Rule::Whole},
                                  {u"字型", Rule::Free},
                                  {u"內容", Rule::Free}};
constexpr Field kCommandBarcode[] = {kX,
                                     kY,
                                     {u"條碼類型", Rule::PrinterType},
                                     {u"高度", Rule::Size},
                                     {u"可讀文字", Rule::Whole},
                                     {u"旋轉角度", Rule::Turn},
                                     {u"窄條寬", Rule::Size},
                                     {u"寬條寬", Rule::Size},
                                     {u"資料", Rule::Free}};
constexpr Field kCommandGraphic[] = {kX, kY, {u"圖檔", Rule::Picture}};
// PDF417 and DMATRIX: the first four of the symbol's own parameters.
constexpr Field kSymbolArea[] = {kX, kY, {u"寬度", Rule::Size}, {u"高度", Rule::Size}};
constexpr Field kDriverStroke[] = {
    {u"x1", Rule::X}, {u"y1", Rule::Y}, {u"x2", Rule::X}, {u"y2", Rule::Y}, {u"線寬", Rule::Size}};
constexpr Field kDriverText[] = {kX,
                                 kY,
                                 {u"字級", Rule::Size},
                                 {u"字型樣式", Rule::Free},
                                 {u"線條樣式", Rule::Free},
                                 {u"字型", Rule::Free},
                                 {u"內容", Rule::Free}};
constexpr Field kDriverBarcode[] = {kX, kY, {u"條碼字型", Rule::DriverFont}, {u"資料", Rule::Free}};
constexpr Field kDriverGraphic[] = {
    kX, kY, {u"圖寬", Rule::WidthMm}, {u"圖高", Rule::HeightMm}, {u"圖檔", Rule::Picture}};

struct Kind {
    const char16_t* keyword;
    std::span<const Field> fields;
    int symbolCommas = 0; // PDF417, DMATRIX: commas before the content
};

constexpr Kind kCommandKinds[] = {
    {u"Line", kCommandBar},       {u"Box", kCommandBox},           {u"F_Text", kCommandText},
    {u"V_Text", kCommandText},    {u"F_Barcode", kCommandBarcode}, {u"V_Barcode", kCommandBarcode},
    {u"PDF417", kSymbolArea, 10}, {u"DMATRIX", kSymbolArea, 5},    {u"Graphic", kCommandGraphic}};
constexpr Kind kDriverKinds[] = {{u"Line", kDriverStroke},       {u"Box", kDriverStroke},
                                 {u"F_Text", kDriverText},       {u"V_Text", kDriverText},
                                 {u"F_Barcode", kDriverBarcode}, {u"V_Barcode", kDriverBarcode},
                                 {u"Graphic", kDriverGraphic}};

const Kind* findKind(FormatMode mode, QStringView key) {
    const std::span<const Kind> kinds =
        mode == FormatMode::Command ? std::span<const Kind>(kCommandKinds) : kDriverKinds;
    for (const Kind& kind : kinds)
        if (key == QStringView(kind.keyword))
            return &kind;
    return nullptr;
}

QString named(const Field& field) {
    return QString::fromUtf16(field.name);
}

QString decimal(double value) {
    return common::shortestDecimal(value);
}

class LineCheck {
public:
    LineCheck(const ElementCheckContext& context, int line, const QString& key,
              const QString& value, FormatProblems& out)
        : m_context(context), m_line(line), m_key(key), m_value(value), m_out(out) {}

    void check(const Kind& kind) {
        std::array<QString, 16> values;
        const int commas =
            kind.symbolCommas > 0 ? kind.symbolCommas : static_cast<int>(kind.fields.size()) - 1;
        const FormatLine line{m_value, m_key, m_value, m_line};
        if (!cutFields(line, commas, values))
            return tooFew(kind, commas + 1);
        if (kind.symbolCommas > 0) {
            // The symbol's own parameters, before the content.
            const QStringList head = m_value.split(u',');
            for (size_t i = 0; i < kind.fields.size(); ++i)
                field(kind.fields[i], common::trimBlanks(head[static_cast<qsizetype>(i)]));
            return;
        }
        for (size_t i = 0; i < kind.fields.size(); ++i)
            field(kind.fields[i], values[i]);
        if (m_key == u"F_Barcode" && m_type)
            fixedData(values[kind.fields.size() - 1]);
    }

private:
    void error(const QString& text) {
        m_out.push_back({m_line, m_key, m_value, text, FormatProblem::Severity::Error});
    }

    void warning(const QString& text) {
        m_out.push_back({m_line, m_key, m_value, text, FormatProblem::Severity::Warning});
    }

    void tooFew(const Kind& kind, int needed) {
        const qsizetype given = m_value.isEmpty() ? 0 : m_value.count(u',') + 1;
        QString text = QStringLiteral("%1 需要 %2 個以逗號分開的值").arg(m_key).arg(needed);
        if (kind.symbolCommas == 0) {
            QStringList names;
            for (const Field& f : kind.fields)
                names << named(f);
            text += QStringLiteral(" (%1)").arg(names.join(QStringLiteral(", ")));
        }
        error(text + QStringLiteral(", 這行只有 %1 個").arg(given));
    }

    std::optional<double> number(const Field& field, const QString& text) {
        if (!common::isNumberText(text)) {
            error(QStringLiteral("%1「%2」不是數字").arg(named(field), text));
            return std::nullopt;
        }
        return common::leadingNumber(text);
    }

    bool fitsWhole(const Field& field, double value) {
        const double rounded = std::nearbyint(value);
        if (rounded >= -32768 && rounded <= 32767)
            return true;
        error(QStringLiteral("%1 %2 超出 -32768 到 32767").arg(named(field), decimal(value)));
        return false;
    }

    // A position from 0 to the label's side, in the unit of the mode and the element.
    void position(const Field& field, double value, bool across) {
        const bool twips =
            m_context.mode == FormatMode::Driver && (m_key == u"Line" || m_key == u"Box");
        if (!twips && !fitsWhole(field, value))
            return;
        const double sideMm = across ? m_context.label.widthMm : m_context.label.heightMm;
        const double perMm = twips                                   ? kTwipsPerMm
                             : m_context.mode == FormatMode::Command ? kFinestDotsPerMm
                                                                     : kDriverDotsPerMm;
        const QString side = across ? QStringLiteral("寬") : QStringLiteral("高");
        if (value < 0) {
            error(QStringLiteral("%1 %2 在標籤外 (不能小於 0)").arg(named(field), decimal(value)));
        } else if (sideMm > 0 && value > sideMm * perMm) {
            const QString room =
                twips ? QStringLiteral("只有 %1 twip").arg(decimal(std::floor(sideMm * perMm)))
                : m_context.mode == FormatMode::Command
                    ? QStringLiteral("在 300 dpi 也只有 %1 點").arg(decimal(sideMm * perMm))
                    : QStringLiteral("只有 %1 點").arg(decimal(sideMm * perMm));
            error(QStringLiteral("%1 %2 在標籤外: 標籤%3 %4 公釐, %5")
                      .arg(named(field), decimal(value), side, decimal(sideMm), room));
        }
    }

    void pictureSide(const Field& field, double value, bool across) {
        const double sideMm = across ? m_context.label.widthMm : m_context.label.heightMm;
        if (value <= 0)
            error(QStringLiteral("%1必須大於 0").arg(named(field)));
        else if (sideMm > 0 && value > sideMm)
            error(QStringLiteral("%1 %2 公釐大於標籤的%3 %4 公釐")
                      .arg(named(field), decimal(value),
                           across ? QStringLiteral("寬") : QStringLiteral("高"), decimal(sideMm)));
    }

    void field(const Field& field, const QString& text) {
        switch (field.rule) {
        case Rule::Free:
            return;
        case Rule::PrinterType:
            return printerType(text);
        case Rule::DriverFont:
            return driverFont(text);
        case Rule::Picture:
            return picture(text);
        default:
            break;
        }
        const std::optional<double> value = number(field, text);
        if (!value)
            return;
        switch (field.rule) {
        case Rule::X:
        case Rule::Y:
            return position(field, *value, field.rule == Rule::X);
        case Rule::Size:
            if (*value <= 0 || std::nearbyint(*value) == 0)
                return error(QStringLiteral("%1必須大於 0").arg(named(field)));
            (void)fitsWhole(field, *value);
            return;
        case Rule::Whole:
            (void)fitsWhole(field, *value);
            return;
        case Rule::Turn:
            if (*value != 0 && *value != 90 && *value != 180 && *value != 270)
                error(QStringLiteral("%1必須是 0, 90, 180 或 270").arg(named(field)));
            return;
        case Rule::WidthMm:
        case Rule::HeightMm:
            return pictureSide(field, *value, field.rule == Rule::WidthMm);
        default:
            return;
        }
    }

    void printerType(const QString& text) {
        m_type = barcode::printerBarcodeType(text.toLatin1());
        // A printer type without a drawing here: the printer knows it, nothing is checked.
        if (!m_type && text.compare(QStringLiteral("CPOST"), Qt::CaseInsensitive) != 0)
            error(QStringLiteral("印表機不認得條碼類型 %1").arg(text));
    }

    void driverFont(const QString& text) {
        m_type = barcode::driverBarcodeFont(text);
        if (!m_type)
            error(QStringLiteral("沒有條碼字型 %1 (可用的有 39, 39C, 39S, 93, 128, 128M, EAN128, "
                                 "EAN13, EAN8, UPCA, UPCE, 25, 25C, CODABAR)")
                      .arg(text));
    }

    void fixedData(const QString& data) {
        const barcode::Symbol symbol = barcode::encodeBarcodeText(*m_type, data);
        const QString reason = symbol.outOfMemory ? QStringLiteral("記憶體不足") : symbol.error;
        if (!reason.isEmpty())
            error(QStringLiteral("條碼資料「%1」無法編碼: %2").arg(data, reason));
    }

    void picture(const QString& fileName) {
        const bool command = m_context.mode == FormatMode::Command;
        const PictureFound found =
            findPicture(m_context.programFolder, fileName,
                        command ? PictureUse::PrinterFile : PictureUse::PageDrawing);
        if (!found.problem.isEmpty())
            return error(found.problem);
        const QString upper = fileName.toUpper();
        if (command && !upper.endsWith(u"PCX") && !upper.endsWith(u"BMP"))
            return warning(QStringLiteral("圖檔 %1 會送到印表機, 但名稱不是以 PCX 或 BMP 結尾, "
                                          "不會印在標籤上")
                               .arg(fileName));
        // Driver mode stretches the picture to the size the line gives.
        const LabelArea& label = m_context.label;
        if (command && label.widthMm > 0 && label.heightMm > 0 &&
            (found.size.width() > label.widthMm * kFinestDotsPerMm ||
             found.size.height() > label.heightMm * kFinestDotsPerMm))
            error(QStringLiteral("圖檔 %1 有 %2 x %3 點, 大於標籤 (%4 x %5 公釐在 300 dpi 是 %6 "
                                 "x %7 點)")
                      .arg(fileName)
                      .arg(found.size.width())
                      .arg(found.size.height())
                      .arg(decimal(label.widthMm), decimal(label.heightMm),
                           decimal(label.widthMm * kFinestDotsPerMm),
                           decimal(label.heightMm * kFinestDotsPerMm)));
    }

    const ElementCheckContext& m_context;
    int m_line;
    const QString& m_key;
    const QString& m_value;
    FormatProblems& m_out;
    const barcode::BarcodeType* m_type = nullptr;
};

} // namespace

bool isElementKeyword(FormatMode mode, QStringView key) {
    return findKind(mode, key) != nullptr;
}

void checkElementLine(const ElementCheckContext& context, int line, const QString& key,
                      const QString& value, FormatProblems& out) {
    if (const Kind* kind = findKind(context.mode, key))
        LineCheck(context, line, key, value, out).check(*kind);
}

} // namespace pelmar::format
