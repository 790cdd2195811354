#include "app/controls/Label.h"

#include "app/controls/Click.h"

void Label::mousePressEvent(QMouseEvent*) {} // taken, so that the release comes here

void Label::mouseReleaseEvent(QMouseEvent* event) {
    if (IsClick(*this, *event)) {
        emit Click();
    }
}
