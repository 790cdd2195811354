#include "app/ErrorBox.h"

#include "app/SignalClose.h"

#include <QMessageBox>

void ShowErrorBox(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
    EndIfTerminationRequested();
}
