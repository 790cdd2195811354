#include "app/ConfirmationDialog.h"

#include "app/SignalClose.h"

QMessageBox::StandardButton AskConfirmation(const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    EndIfTerminationRequested();
    return answer;
}
