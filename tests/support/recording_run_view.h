#pragma once

#include "common/run_view.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace pelmar::test {

// Records the window texts and grid rows a run shows, in order ("msg:...", "item:...",
// "data:...", "row:N").
class RecordingRunView : public common::RunView {
public:
    void setStatusMessage(const QString& text) override {
        statusMessage = text;
        events << QStringLiteral("msg:") + text;
    }
    void setPrintItem(const QString& text) override {
        printItem = text;
        events << QStringLiteral("item:") + text;
    }
    void setPrintData(const QString& text) override {
        printData = text;
        events << QStringLiteral("data:") + text;
    }
    void showGridRow(int row) override {
        gridRow = row;
        events << QStringLiteral("row:%1").arg(row);
    }

    QString statusMessage;
    QString printItem;
    QString printData;
    int gridRow = -1;
    QStringList events;
};

} // namespace pelmar::test
