#pragma once

// A speed button: a flat-looking button that takes no keyboard focus. Buttons that share an
// exclusive group have a down state, exactly one of them down: a click puts the clicked one
// down, and so does SetDown(true) from code (which raises no click); the down button of a group
// cannot be put up by itself. A button of no group is put down and up by code only: a click
// leaves it as it was, so that its handler decides when it looks pressed.

#include <QToolButton>

class QButtonGroup;

class SpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit SpeedButton(QWidget* parent);

    void JoinGroup(QButtonGroup& group);

    bool Down() const { return isChecked(); }
    void SetDown(bool down) { setChecked(down); }

protected:
    void nextCheckState() override;
};
