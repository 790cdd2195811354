#pragma once

// Plain widgets have no click event in Qt. A widget that takes the left press gets the release
// too; released inside the widget, the press was a click.

#include <QMouseEvent>
#include <QWidget>

inline bool IsClick(const QWidget& widget, const QMouseEvent& release) {
    return release.button() == Qt::LeftButton &&
           widget.rect().contains(release.position().toPoint());
}
