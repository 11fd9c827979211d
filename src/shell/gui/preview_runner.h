#pragma once

#include "shell/app/label_preview.h"
#include "state/working_state.h"

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace pelmar::gui {

// Draws a label preview: app::previewLabel, or a fake in tests.
using PreviewFunction =
    std::function<app::LabelPreview(const state::WorkingState& state, const QByteArray& formatText,
                                    int record, const QDate& today)>;

// Draws previews on a worker thread so typing never waits for one. It keeps its own copy of the
// working state, taken when it is made (with its own code page converters, which are not shared
// between threads). One preview at a time; a request made meanwhile waits, and only the latest
// one is drawn.
class PreviewRunner : public QObject {
    Q_OBJECT
public:
    PreviewRunner(const state::WorkingState& state, PreviewFunction previewer,
                  QObject* parent = nullptr);
    // Waits for the preview being drawn.
    ~PreviewRunner() override;

    // Draws formatText (a format file's bytes) for record (1-based) as of today.
    void request(const QByteArray& formatText, int record);

signals:
    void drawn(const app::LabelPreview& preview);

private:
    struct Request {
        QByteArray formatText;
        int record = 0;
    };
    void start(Request request);
    void finish(const app::LabelPreview& preview);

    std::shared_ptr<const state::WorkingState> m_state;
    PreviewFunction m_previewer;
    QThreadPool m_pool;
    bool m_running = false;
    std::optional<Request> m_waiting;
};

} // namespace pelmar::gui
