#include "app/controls/ComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this] {
        emit Click();
        emit Change();
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox::Change);
}

int ComboBox::ItemIndex() const {
    return findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    // Qt would select an item whose text matches the typed one, ignoring case, and report it
    // as the user's choice.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
