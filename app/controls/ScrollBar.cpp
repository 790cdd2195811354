#include "app/controls/ScrollBar.h"

#include <QKeyEvent>
#include <cstdlib>
#include <optional>

namespace {

using ScrollCode = ScrollBar::ScrollCode;

ScrollCode CodeOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollCode::PageDown;
    case QAbstractSlider::SliderToMinimum:
        return ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum:
        return ScrollCode::Bottom;
    default:
        return ScrollCode::Track;
    }
}

std::optional<QAbstractSlider::SliderAction> KeyAction(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return std::nullopt;
    }
}

} // namespace

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
    // Its menu moves the position with no end to the action.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::Change);
    // Qt reports every user action here after moving the slider position but before the value.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        acting_ = true;
        emit Scroll(CodeOf(action), sliderPosition());
    });
}

void ScrollBar::SetMin(int min) {
    if (min <= maximum()) {
        setMinimum(min);
    }
}

void ScrollBar::SetMax(int max) {
    if (max >= minimum()) {
        setMaximum(max);
    }
}

bool ScrollBar::MouseHeld() const {
    return isSliderDown() || repeatAction() != SliderNoAction;
}

void ScrollBar::EndAction() {
    if (acting_) {
        acting_ = false;
        emit Scroll(ScrollCode::EndScroll, Position());
    }
}

void ScrollBar::mousePressEvent(QMouseEvent* event) {
    QScrollBar::mousePressEvent(event);
    // A press on the thumb begins an action even before the thumb moves.
    if (isSliderDown()) {
        acting_ = true;
    }
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    if (!MouseHeld()) {
        EndAction();
    }
}

void ScrollBar::keyPressEvent(QKeyEvent* event) {
    if (const auto action = KeyAction(event->key())) {
        triggerAction(*action);
    } else {
        QScrollBar::keyPressEvent(event);
    }
}

void ScrollBar::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats its action; only the real release ends it.
    if (KeyAction(event->key()) && !event->isAutoRepeat()) {
        EndAction();
    } else {
        QScrollBar::keyReleaseEvent(event);
    }
}

void ScrollBar::wheelEvent(QWheelEvent* event) {
    // Forward or left is towards the minimum, as for any scroll bar; whole notches only.
    const QPoint delta = event->angleDelta();
    wheelRest_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    for (int n = std::abs(notches); n > 0; --n) {
        triggerAction(notches > 0 ? SliderSingleStepSub : SliderSingleStepAdd);
    }
    EndAction();
    event->accept();
}

void ScrollBar::focusOutEvent(QFocusEvent* event) {
    // A key let go elsewhere never reaches this bar; the action ends with the focus.
    if (!MouseHeld()) {
        EndAction();
    }
    QScrollBar::focusOutEvent(event);
}
