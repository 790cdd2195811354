#pragma once

// Where the parts of a scroll bar lie, as its style draws them, for mouse events aimed at them.

#include "app/controls/ScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <optional>

// Where a part (an arrow, the thumb, a trough, the groove) of the bar lies.
inline QRect PartOf(const ScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar.Min();
    option.maximum = bar.Max();
    option.sliderPosition = option.sliderValue = bar.Position();
    option.singleStep = bar.ArrowStep();
    option.pageStep = bar.PageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

// The x in the bar to which the pointer, holding the thumb by its middle, drags it to `value`;
// none when no pixel stands for that value.
inline std::optional<int> ThumbXFor(const ScrollBar& bar, int value) {
    const QRect groove = PartOf(bar, QStyle::SC_ScrollBarGroove);
    const int thumb = PartOf(bar, QStyle::SC_ScrollBarSlider).width();
    const int span = groove.width() - thumb;
    for (int left = 0; left <= span; ++left) {
        if (QStyle::sliderValueFromPosition(bar.Min(), bar.Max(), left, span) == value) {
            return groove.x() + left + thumb / 2;
        }
    }
    return std::nullopt;
}
