#pragma once

// A horizontal scroll bar whose position is a value of the window (a frequency, an amplitude, a
// dwell). Qt already clamps the position into the range and reports only real changes. What
// differs: a minimum above the maximum (or a maximum below the minimum) is refused here instead
// of dragging the other end along, and the focused bar answers the keys as a desktop scroll bar
// does (arrows by the arrow step, Page Up/Down by the page step, Home and End to the ends), which
// Qt's leaves to the scrolled view.

#include <QScrollBar>

class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget* parent);

    int Position() const { return value(); }
    // Clamped into Min()..Max().
    void SetPosition(int position) { setValue(position); }

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    // Both clamp the position; a minimum above the maximum, or a maximum below the minimum, is
    // refused and changes nothing.
    void SetMin(int min);
    void SetMax(int max);

    // The step of one click on an arrow, and of one click in the trough.
    int ArrowStep() const { return singleStep(); }
    void SetArrowStep(int step) { setSingleStep(step); }
    int PageStep() const { return pageStep(); }
    void SetPageStep(int step) { setPageStep(step); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // After every change of the position, by the user or by code; setting the same position
    // again raises nothing.
    void Change();
};
