#pragma once

// A combo box with editable text. Its text is either one of its items or whatever the user has
// typed; no completion adds to what is typed, and Enter in it does nothing. Events:
// - Click and then Change when the user chooses an item: from the list with the mouse, or with
//   the arrow keys or the wheel; choosing the item already shown raises them too.
// - Change when the user edits the text.
// - Nothing when code selects an item or sets the text.

#include <QComboBox>

class ComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent);

    // The index of the item whose text the box shows, or -1 when the text is no item's.
    int ItemIndex() const;

signals:
    void Click();
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
