#include "app/controls/SpeedButton.h"

#include <QButtonGroup>

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::JoinGroup(QButtonGroup& group) {
    setCheckable(true);
    group.setExclusive(true);
    group.addButton(this);
}

void SpeedButton::nextCheckState() {
    if (group() != nullptr) {
        QToolButton::nextCheckState();
    }
}
