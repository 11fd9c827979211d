#include "preview/tspl_interpreter.h"

#include "preview/tspl_command.h"

// The shapes: BAR, ERASE, REVERSE, BOX and CIRCLE.

namespace pelmar::preview {

void TsplInterpreter::doRectangle(const Command& c) {
    int v[4];
    if (!numbers(c, 0, 4, v))
        return;
    const int x = v[0] + m_setup.referenceX;
    const int y = v[1] + m_setup.referenceY;
    if (c.name == "BAR")
        canvas().fillRect(x, y, v[2], v[3]);
    else if (c.name == "ERASE")
        canvas().eraseRect(x, y, v[2], v[3]);
    else
        canvas().invertRect(x, y, v[2], v[3]);
}

void TsplInterpreter::doBox(const Command& c) {
    const int rx = m_setup.referenceX;
    const int ry = m_setup.referenceY;
    if (c.name == "CIRCLE") {
        int v[4];
        if (!numbers(c, 0, 4, v))
            return;
        canvas().drawBox(v[0] + rx, v[1] + ry, v[0] + rx + v[2], v[1] + ry + v[2], v[3], v[2] / 2);
        return;
    }
    int v[6] = {0, 0, 0, 0, 0, 0};
    if (!numbers(c, 0, 5, v))
        return;
    if (c.args.size() > 5 && !numbers(c, 5, 1, v + 5))
        return;
    canvas().drawBox(v[0] + rx, v[1] + ry, v[2] + rx, v[3] + ry, v[4], v[5]);
}

} // namespace pelmar::preview
