#include "shell/gui/preview_runner.h"

#include <QDate>

namespace pelmar::gui {

namespace {

std::shared_ptr<const state::WorkingState> copyForWorker(const state::WorkingState& state) {
    auto copy = std::make_shared<state::WorkingState>(state);
    copy->codePage = common::CodePage(state.codePage.name());
    return copy;
}

} // namespace

PreviewRunner::PreviewRunner(const state::WorkingState& state, PreviewFunction previewer,
                             QObject* parent)
    : QObject(parent), m_state(copyForWorker(state)), m_previewer(std::move(previewer)) {
    m_pool.setMaxThreadCount(1);
}

PreviewRunner::~PreviewRunner() {
    m_pool.waitForDone();
}

void PreviewRunner::request(const QByteArray& formatText, int record) {
    Request next{formatText, record};
    if (m_running) {
        m_waiting = std::move(next);
        return;
    }
    start(std::move(next));
}

void PreviewRunner::start(Request request) {
    m_running = true;
    m_pool.start([this, request = std::move(request), state = m_state, previewer = m_previewer] {
        app::LabelPreview preview;
        try {
            preview = previewer(*state, request.formatText, request.record, QDate::currentDate());
        } catch (...) {
            preview = {};
            preview.cannotDraw = QStringLiteral("預覽發生非預期錯誤");
        }
        // Queued to the runner's thread; the runner waits for this job before it goes.
        QMetaObject::invokeMethod(
            this, [this, preview = std::move(preview)] { finish(preview); }, Qt::QueuedConnection);
    });
}

void PreviewRunner::finish(const app::LabelPreview& preview) {
    m_running = false;
    if (m_waiting) {
        Request next = std::move(*m_waiting);
        m_waiting.reset();
        start(std::move(next));
        // A newer text is being drawn: this picture is already out of date.
        return;
    }
    emit drawn(preview);
}

} // namespace pelmar::gui
