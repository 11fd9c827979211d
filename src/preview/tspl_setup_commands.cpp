#include "preview/tspl_interpreter.h"

#include "preview/tspl_command.h"

#include <algorithm>

// The set-up commands: SIZE, GAP, BLINE, DIRECTION, REFERENCE and SET.

namespace pelmar::preview {

void TsplInterpreter::doSize(const Command& c) {
    if (c.args.empty() || c.args.size() > 2) {
        warnAt(QStringLiteral("SIZE count"), QStringLiteral("SIZE: needs width and length"));
        return;
    }
    std::optional<int> width = parseLength(c.args[0].text, m_dpi);
    std::optional<int> height =
        c.args.size() > 1
            ? parseLength(c.args[1].text, m_dpi)
            : std::optional<int>(m_setup.labelHeight > 0 ? m_setup.labelHeight : 2 * m_dpi);
    if (!width || !height || *width <= 0 || *height <= 0) {
        warnAt(QStringLiteral("SIZE value"),
               QStringLiteral("SIZE: \"%1\" is not a label size; command ignored")
                   .arg(printable(trimmedView(c.rest).toByteArray())));
        return;
    }
    const int w = std::min(*width, m_limits.maxLabelWidth);
    const int h = std::min(*height, m_limits.maxLabelHeight);
    if (w != *width || h != *height)
        warnAt(QStringLiteral("SIZE clamped"),
               QStringLiteral("SIZE: %1 x %2 dots is larger than the printer takes; %3 x %4 dots "
                              "used")
                   .arg(*width)
                   .arg(*height)
                   .arg(w)
                   .arg(h));
    if (w != m_setup.labelWidth || h != m_setup.labelHeight || !m_canvas) {
        m_setup.labelWidth = w;
        m_setup.labelHeight = h;
        m_canvas = std::make_unique<LabelCanvas>(w, h);
    }
}

void TsplInterpreter::doGapOrBline(const Command& c, bool blackMark) {
    const QString name = QString::fromLatin1(c.name);
    std::optional<int> gap = c.args.empty() ? std::nullopt : parseLength(c.args[0].text, m_dpi);
    std::optional<int> offset =
        c.args.size() > 1 ? parseLength(c.args[1].text, m_dpi) : std::optional<int>(0);
    if (!gap || !offset) {
        warnAt(name + QStringLiteral(" value"),
               QStringLiteral("%1: \"%2\" is not a gap; command ignored")
                   .arg(name, printable(trimmedView(c.rest).toByteArray())));
        return;
    }
    m_setup.blackMark = blackMark;
    m_setup.gap = *gap;
    m_setup.gapOffset = *offset;
}

void TsplInterpreter::doDirection(const Command& c) {
    int values[2] = {1, 0};
    if (!numbers(c, 0, 1, values))
        return;
    if (c.args.size() > 1 && !numbers(c, 1, 1, values + 1))
        return;
    if ((values[0] != 0 && values[0] != 1) || (values[1] != 0 && values[1] != 1)) {
        warnAt(QStringLiteral("DIRECTION value"),
               QStringLiteral("DIRECTION: values are 0 or 1; command ignored"));
        return;
    }
    m_setup.direction = values[0];
    m_setup.mirror = values[1] == 1;
}

void TsplInterpreter::doReference(const Command& c) {
    int values[2];
    if (!numbers(c, 0, 2, values))
        return;
    m_setup.referenceX = values[0];
    m_setup.referenceY = values[1];
}

void TsplInterpreter::doSet(const Command& c) {
    const QByteArray rest = trimmedView(c.rest).toByteArray();
    const qsizetype blank = rest.indexOf(' ');
    const QByteArray key = (blank < 0 ? rest : rest.left(blank)).toUpper();
    if (key.isEmpty()) {
        warnAt(QStringLiteral("SET empty"), QStringLiteral("SET without a setting ignored"));
        return;
    }
    // A printer ignores a SET it does not know; every one is remembered here.
    m_setup.settings.insert(key, blank < 0 ? QByteArray() : rest.mid(blank + 1).trimmed());
}

} // namespace pelmar::preview
