#include "shell/app/preview_reading.h"

#include "format/format_file.h"

#include <array>
#include <cmath>
#include <limits>

namespace pelmar::app {

namespace {

constexpr std::array<QStringView, 19> kFormatKeys{
    u"LabelWidth",  u"LabelHeight", u"LabelGap",  u"PrintSpeed", u"PrintDarken",
    u"LabelOffset", u"SensorType",  u"Direction", u"SetStripe",  u"SetCutter",
    u"Line",        u"Box",         u"F_Text",    u"V_Text",     u"F_Barcode",
    u"V_Barcode",   u"PDF417",      u"DMATRIX",   u"Graphic"};

// Driver-mode lines and boxes are placed in twips; every other element in printer dots.
bool placedInTwips(QStringView key) {
    return key == u"Line" || key == u"Box";
}

constexpr double kDotsPerMillimetre = 8.0;
constexpr double kTwipsPerMillimetre = 56.7;

} // namespace

bool isFormatKey(QStringView key) {
    for (QStringView known : kFormatKeys)
        if (key == known)
            return true;
    return false;
}

QString formatKeyOf(QStringView line) {
    try {
        if (const std::optional<format::FormatLine> split = format::splitFormatLine(line))
            return split->key.toString();
    } catch (...) {
        // A line too long to search holds no key the editor can name.
    }
    return {};
}

int elementLineAt(const LabelPreview& preview, QPoint point) {
    int line = 0;
    qint64 smallest = std::numeric_limits<qint64>::max();
    for (const PreviewElement& element : preview.elements) {
        const QRect box = element.box.normalized();
        const qint64 area = qint64(box.width()) * box.height();
        if (box.contains(point) && area < smallest) {
            smallest = area;
            line = element.line;
        }
    }
    return line;
}

QList<QRect> elementBoxesOf(const LabelPreview& preview, int line) {
    QList<QRect> boxes;
    for (const PreviewElement& element : preview.elements)
        if (line > 0 && element.line == line)
            boxes << element.box;
    return boxes;
}

QString pointerPosition(const LabelPreview& preview, QPointF pixel, int printMode,
                        QStringView lineText) {
    const double perMillimetre = preview.dotsPerMillimetre > 0 ? preview.dotsPerMillimetre : 8.0;
    const double x = pixel.x() / perMillimetre;
    const double y = pixel.y() / perMillimetre;
    const QString millimetres = QStringLiteral("(%1, %2 mm)").arg(x, 0, 'f', 1).arg(y, 0, 'f', 1);
    const auto whole = [](double value) { return QString::number(std::floor(value), 'f', 0); };
    const auto dots = [&] {
        return QStringLiteral("x %1, y %2 點")
            .arg(whole(x * kDotsPerMillimetre), whole(y * kDotsPerMillimetre));
    };
    const auto twips = [&] {
        return QStringLiteral("x %1, y %2 twips")
            .arg(whole(x * kTwipsPerMillimetre), whole(y * kTwipsPerMillimetre));
    };
    if (printMode == 0)
        return QStringLiteral("x %1, y %2 點 ").arg(whole(pixel.x()), whole(pixel.y())) +
               millimetres;
    const QString key = formatKeyOf(lineText);
    if (key.isEmpty() || !isFormatKey(key))
        return dots() + QStringLiteral(" / ") + twips() + u' ' + millimetres;
    return (placedInTwips(key) ? twips() : dots()) + u' ' + millimetres;
}

QString problemText(const PreviewProblem& problem) {
    const QString kind = problem.error ? QStringLiteral("錯誤") : QStringLiteral("警告");
    if (problem.line <= 0)
        return QStringLiteral("%1: %2").arg(kind, problem.text);
    return QStringLiteral("第 %1 行 %2: %3").arg(problem.line).arg(kind, problem.text);
}

std::map<int, bool> problemMarks(const LabelPreview& preview) {
    std::map<int, bool> marks;
    for (const PreviewProblem& problem : preview.problems)
        if (problem.line > 0)
            marks[problem.line] = marks[problem.line] || problem.error;
    return marks;
}

} // namespace pelmar::app
