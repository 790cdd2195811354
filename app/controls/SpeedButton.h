#pragma once

// A speed button: a flat-looking button that takes no keyboard focus. Buttons that share an
// exclusive group have a down state, exactly one of them down: a click puts the clicked one
// down, and so does SetDown(true) from code (which raises no click); the down button of a group
// cannot be put up by itself.

#include <QToolButton>

class QButtonGroup;

class SpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit SpeedButton(QWidget* parent);

    void JoinGroup(QButtonGroup& group);

    bool Down() const { return isChecked(); }
    void SetDown(bool down) { setChecked(down); }
};
