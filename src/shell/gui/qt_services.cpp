#include "shell/gui/qt_services.h"

#include "common/run_error.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

namespace pelmar::gui {

QString messageBoxText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

common::MessageAnswer QtMessageBox::show(const common::Message& message) {
    QMessageBox box(m_parent);
    box.setWindowTitle(message.caption);
    box.setText(messageBoxText(message.text));
    box.setTextFormat(Qt::PlainText);
    switch (message.icon) {
    case common::MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case common::MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case common::MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case common::MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case common::MessageIcon::None:
        break;
    }
    if (message.buttons == common::MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(message.defaultAnswer == common::MessageAnswer::Yes ? yes : no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? common::MessageAnswer::Yes : common::MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return common::MessageAnswer::Ok;
}

void QtEventPump::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Sleep in the event dispatcher until an event or the timer wakes it: the cancel button
    // answers at once, and a wait of seconds costs no processor time.
    QEventLoop idle;
    QTimer::singleShot(m_idleMilliseconds, &idle, &QEventLoop::quit);
    idle.exec(QEventLoop::AllEvents);
}

app::PrintDestination QtPrinterDialog::choosePrinter(const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        throw common::RunError(common::DialogCancelled);
    app::PrintDestination destination;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        destination.pdfFile = printer.outputFileName();
        if (destination.pdfFile.isEmpty())
            destination.pdfFile = QDir::home().filePath(QStringLiteral("pelmar.pdf"));
    } else {
        destination.queue = printer.printerName();
    }
    return destination;
}

} // namespace pelmar::gui
