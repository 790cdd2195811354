#include "app/ConfirmationDialog.h"

#include "app/SignalClose.h"

#include <utility>

namespace {

std::function<QMessageBox::StandardButton(const QString&)>& Replacement() {
    static std::function<QMessageBox::StandardButton(const QString&)> dialog;
    return dialog;
}

} // namespace

QMessageBox::StandardButton AskConfirmation(const QString& text) {
    if (const auto& dialog = Replacement()) {
        return dialog(text);
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    EndIfTerminationRequested();
    return answer;
}

void SetConfirmationDialog(std::function<QMessageBox::StandardButton(const QString&)> dialog) {
    Replacement() = std::move(dialog);
}
