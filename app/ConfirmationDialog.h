#pragma once

// The modal message dialog that asks before a sweep: information icon, caption "Information",
// buttons Yes, No and Cancel. Closing it counts as Cancel; a termination signal ends the program
// instead.

#include <QMessageBox>

QMessageBox::StandardButton AskConfirmation(const QString& text);
