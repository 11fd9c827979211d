#include "preview/tspl_interpreter.h"

#include "preview/tspl_command.h"

#include <QImage>

// The label buffer: made on first use, drawn on, and printed by PRINT.

namespace pelmar::preview {

LabelCanvas& TsplInterpreter::canvas() {
    if (!m_canvas) {
        if (m_setup.labelWidth <= 0 || m_setup.labelHeight <= 0) {
            warnAt(QStringLiteral("no size"),
                   QStringLiteral("no SIZE before the first label; 4 x 2 inches assumed"));
            m_setup.labelWidth = 4 * m_dpi;
            m_setup.labelHeight = 2 * m_dpi;
        }
        m_canvas = std::make_unique<LabelCanvas>(m_setup.labelWidth, m_setup.labelHeight);
    }
    return *m_canvas;
}

void TsplInterpreter::place(const DotBitmap& piece, int x, int y, int offsetX, int quarterTurns) {
    if (piece.isEmpty())
        return;
    // The piece turns clockwise about (x, y); offsetX moves it along its own baseline first.
    const long long w = piece.width;
    const long long h = piece.height;
    long long left = x;
    long long top = y;
    switch (quarterTurns & 3) {
    case 0:
        left = x + offsetX;
        break;
    case 1:
        left = x - h;
        top = y + offsetX;
        break;
    case 2:
        left = x - (offsetX + w);
        top = y - h;
        break;
    case 3:
        top = y - (offsetX + w);
        break;
    }
    if (left > 1'000'000 || left < -1'000'000 || top > 1'000'000 || top < -1'000'000)
        return;
    canvas().drawPiece(rotateClockwise(piece, quarterTurns), static_cast<int>(left),
                       static_cast<int>(top));
}

QRect TsplInterpreter::takeDrawnArea() {
    if (!m_canvas)
        return {};
    const QRect touched = m_canvas->takeTouched();
    if (touched.isEmpty())
        return touched;
    // The picture is the canvas turned by 180 degrees for DIRECTION 0, and flipped for MIRROR.
    const bool rotate180 = m_setup.direction == 0;
    const int left =
        rotate180 != m_setup.mirror ? m_canvas->width() - 1 - touched.right() : touched.left();
    const int top = rotate180 ? m_canvas->height() - 1 - touched.bottom() : touched.top();
    return {left, top, touched.width(), touched.height()};
}

void TsplInterpreter::doPrint(const Command& c) {
    int v[2] = {0, 1};
    if (!numbers(c, 0, 1, v))
        return;
    if (c.args.size() > 1 && !numbers(c, 1, 1, v + 1))
        return;
    if (v[0] < 0 || v[1] < 0) {
        warnAt(QStringLiteral("PRINT negative"),
               QStringLiteral("PRINT: negative count; command ignored"));
        return;
    }
    long long count = static_cast<long long>(v[0]) * v[1];
    if (count > m_limits.maxLabelsPerPrint) {
        warnAt(QStringLiteral("PRINT many"),
               QStringLiteral("PRINT: %1 labels asked for; %2 printed")
                   .arg(count)
                   .arg(m_limits.maxLabelsPerPrint));
        count = m_limits.maxLabelsPerPrint;
    }
    if (count == 0)
        return;
    QImage image = canvas().toImage(m_setup.direction == 0, m_setup.mirror);
    const int dotsPerMetre = static_cast<int>(m_dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    for (long long k = 0; k < count; ++k) {
        m_sink.label(image);
        ++m_labelCount;
    }
}

} // namespace pelmar::preview
