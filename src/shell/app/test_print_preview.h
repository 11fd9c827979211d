#pragma once

#include "shell/app/label_preview.h"
#include "state/working_state.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace pelmar::app {

// How a label is previewed: previewLabel, or a test's stand-in.
using LabelPreviewer = std::function<LabelPreview(const state::WorkingState&, const QByteArray&,
                                                  int record, const QDate& today)>;

// The picture of the test-print screen: the label that 試印 would print, the grid's chosen
// record with the chosen format (the only one when LabelCount is 1), drawn again only when what
// it shows has changed.
class TestPrintPreview {
public:
    explicit TestPrintPreview(LabelPreviewer previewer = &defaultPreview);

    // The label drawn again when the chosen format, its file's bytes, the record, the print
    // mode, the printer, the price adjustment or the day changed since the last call; nullopt
    // when nothing did. A missing choice or an unreadable file gives a preview that says so in
    // cannotDraw. Reads the format file; never prints, never throws.
    std::optional<LabelPreview> refresh(const state::WorkingState& state,
                                        const QString& firstListedFormat, const QDate& today);

private:
    static LabelPreview defaultPreview(const state::WorkingState& state, const QByteArray& text,
                                       int record, const QDate& today) {
        return previewLabel(state, text, record, today);
    }

    // Everything the picture depends on.
    struct Shown {
        QString formatFileName;
        QByteArray formatText;
        QString unreadable;
        int record = 0;
        int recordCount = 0;
        QString textFileName;
        int printMode = 0;
        QString printerName;
        int editPrice = 0;
        int adPrice = 0;
        QDate today;
        bool operator==(const Shown&) const = default;
    };

    LabelPreviewer m_previewer;
    std::optional<Shown> m_shown;
};

} // namespace pelmar::app
