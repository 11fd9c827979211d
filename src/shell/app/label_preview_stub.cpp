// TEMPORARY: stands in for the label preview until its drawing is merged; delete this file then.
#include "shell/app/label_preview.h"

namespace pelmar::app {

LabelPreview previewLabel(const state::WorkingState&, const QByteArray&, int, const QDate&) {
    LabelPreview preview;
    preview.cannotDraw = QStringLiteral("預覽尚未提供");
    return preview;
}

} // namespace pelmar::app
