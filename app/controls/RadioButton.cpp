#include "app/controls/RadioButton.h"

RadioButton::RadioButton(QWidget* parent) : QRadioButton(parent) {
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked) {
            emit Click();
        }
    });
}
