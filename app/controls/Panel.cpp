#include "app/controls/Panel.h"

#include "app/controls/Click.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {

// Draws one bevel inside `area` and returns what is left inside it.
QRect DrawBevel(QPainter& painter, const QRect& area, Panel::Bevel bevel, int width,
                const QPalette& palette) {
    if (bevel == Panel::Bevel::None) {
        return area;
    }
    qDrawShadePanel(&painter, area, palette, bevel == Panel::Bevel::Lowered, width);
    return area.adjusted(width, width, -width, -width);
}

} // namespace

Panel::Panel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void Panel::SetCaption(const QString& text) {
    caption_ = text;
    update();
}

void Panel::SetAlignment(Qt::Alignment horizontal) {
    alignment_ = horizontal;
    update();
}

void Panel::SetBevelOuter(Bevel bevel) {
    bevelOuter_ = bevel;
    update();
}

void Panel::SetBevelInner(Bevel bevel) {
    bevelInner_ = bevel;
    update();
}

void Panel::SetBevelWidth(int width) {
    bevelWidth_ = width;
    update();
}

void Panel::SetColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
    setAutoFillBackground(true);
}

void Panel::SetFontColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inside = DrawBevel(painter, rect(), bevelOuter_, bevelWidth_, palette());
    inside = DrawBevel(painter, inside, bevelInner_, bevelWidth_, palette());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(inside, static_cast<int>(alignment_ | Qt::AlignVCenter | Qt::TextSingleLine),
                     caption_);
}

// Taken, so that the moves and the release come here.
void Panel::mousePressEvent(QMouseEvent* event) {
    const QPoint place = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), place.x(), place.y());
}

void Panel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint place = event->position().toPoint();
    emit MouseMove(event->modifiers(), place.x(), place.y());
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (IsClick(*this, *event)) {
        emit Click();
    }
    const QPoint place = event->position().toPoint();
    emit MouseUp(event->button(), event->modifiers(), place.x(), place.y());
}
