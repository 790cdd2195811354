#pragma once

// A horizontal scroll bar whose position is a value of the window (a frequency, an amplitude, a
// dwell). Qt already clamps the position into the range and reports only real changes. What
// differs: a minimum above the maximum (or a maximum below the minimum) is refused here instead
// of dragging the other end along, and the focused bar answers the keys as a desktop scroll bar
// does (arrows by the arrow step, Page Up/Down by the page step, Home and End to the ends), which
// Qt's leaves to the scrolled view.
//
// A user action raises Scroll twice or more: first with what the action does and the position it
// leads to, while Position() still holds the old one (the position then changes and Change
// follows); a held arrow or trough repeats that, and dragging the thumb raises Track at every
// move. When the action is over (the mouse button or the key released), Scroll comes once more
// with EndScroll and the final position. A wheel notch is an arrow click, ended at once. Setting
// the position, range or steps from code raises no Scroll.

#include <QScrollBar>

class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    // Line and page up go towards the minimum, down towards the maximum; Top is the minimum,
    // Bottom the maximum.
    enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom, EndScroll };
    Q_ENUM(ScrollCode)

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

signals:
    // After every change of the position, by the user or by code; setting the same position
    // again raises nothing.
    void Change();
    void Scroll(ScrollBar::ScrollCode code, int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool MouseHeld() const;
    // Raises EndScroll if an action is under way.
    void EndAction();

    bool acting_ = false;
    int wheelRest_ = 0; // wheel movement short of a notch, kept for the next event
};
