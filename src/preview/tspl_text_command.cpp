#include "preview/tspl_interpreter.h"

#include "preview/tspl_command.h"

// TEXT in the printer's fonts.

namespace pelmar::preview {

void TsplInterpreter::doText(const Command& c) {
    // TEXT x,y,"font",rotation,xMul,yMul,[alignment,]"content"
    if (c.args.size() != 7 && c.args.size() != 8) {
        warnAt(QStringLiteral("TEXT count"),
               QStringLiteral("TEXT: needs 7 or 8 parameters; command ignored"));
        return;
    }
    int pos[2];
    int mul[2];
    if (!numbers(c, 0, 2, pos) || !numbers(c, 4, 2, mul))
        return;
    int alignment = 0;
    if (c.args.size() == 8 && !numbers(c, 6, 1, &alignment))
        return;
    const std::optional<int> turns = quarterTurns(c.args[3].text);
    if (!turns) {
        warnAt(QStringLiteral("TEXT rotation"),
               QStringLiteral("TEXT: rotation is 0, 90, 180 or 270; command ignored"));
        return;
    }
    const QByteArray& font = c.args[2].text;
    if (!TextRenderer::isKnownFont(font)) {
        warnAt(
            QStringLiteral("TEXT font ") + QString::fromLatin1(font.toHex()),
            QStringLiteral("TEXT: font \"%1\" not in the printer; not drawn").arg(printable(font)));
        return;
    }
    if (!c.args.back().quoted) {
        warnAt(QStringLiteral("TEXT content"),
               QStringLiteral("TEXT: content is not a quoted string; command ignored"));
        return;
    }
    const QString text = m_codePage.decode(c.args.back().text);
    const DotBitmap bitmap = m_text.render(font, mul[0], mul[1], text);
    if (bitmap.isEmpty() && !text.isEmpty()) {
        warnAt(QStringLiteral("TEXT no face"),
               QStringLiteral("TEXT: no font face available; text not drawn"));
        return;
    }
    const int w = bitmap.width;
    const int offset = alignment == 2 ? -w / 2 : (alignment == 3 ? -w : 0);
    place(bitmap, pos[0] + m_setup.referenceX, pos[1] + m_setup.referenceY, offset, *turns);
}

} // namespace pelmar::preview
