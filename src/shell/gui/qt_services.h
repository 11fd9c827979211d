#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "shell/app/printer_dialog.h"

class QWidget;

namespace pelmar::gui {

// Message boxes as QMessageBox over the window: caption, icon, buttons and default button as
// asked; the carriage returns of a text are shown as line breaks.
class QtMessageBox : public common::MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : m_parent(parent) {}
    common::MessageAnswer show(const common::Message& message) override;

private:
    QWidget* m_parent;
};

// The text of a message as a QMessageBox shows it: CR LF, CR and LF each one line break.
QString messageBoxText(const QString& text);

// Lets pending events run during a wait and then sleeps briefly (at most `idleMilliseconds`,
// less when an event arrives), so a wait that polls the clock neither spins nor lags.
class QtEventPump : public common::EventPump {
public:
    explicit QtEventPump(int idleMilliseconds = 10) : m_idleMilliseconds(idleMilliseconds) {}
    void processEvents() override;

private:
    int m_idleMilliseconds;
};

// The printer dialog of driver mode: QPrintDialog listing the CUPS queues and PDF output.
// Returns the chosen queue, or the PDF file for PDF output; throws RunError(32755) on cancel.
class QtPrinterDialog : public app::PrinterDialog {
public:
    explicit QtPrinterDialog(QWidget* parent) : m_parent(parent) {}
    app::PrintDestination choosePrinter(const QString& title) override;

private:
    QWidget* m_parent;
};

} // namespace pelmar::gui
