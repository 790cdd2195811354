#pragma once

// The modal message dialog that asks before a sweep: information icon, caption "Information",
// buttons Yes, No and Cancel. Closing it counts as Cancel; a termination signal ends the program
// instead. Tests put a recorder that answers in its place.

#include <QMessageBox>
#include <functional>

QMessageBox::StandardButton AskConfirmation(const QString& text);

// Replaces the dialog behind AskConfirmation; an empty function restores the real one.
void SetConfirmationDialog(std::function<QMessageBox::StandardButton(const QString& text)> dialog);
