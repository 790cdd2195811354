#pragma once

// A radio button that raises Click() whenever it becomes checked, by the user or by code. Qt
// reports a check by code only as a toggle; the waveform handlers rely on checking a picture's
// radio button from code running the button's click handler. Checking a button that is already
// checked raises nothing.

#include <QRadioButton>

class RadioButton : public QRadioButton {
    Q_OBJECT

public:
    explicit RadioButton(QWidget* parent);

signals:
    void Click();
};
