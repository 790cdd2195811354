#pragma once

// Vertical up-down buttons holding a position in a range, without wrapping. Every press of an
// arrow raises Changing() first, while Position() still holds the old value, and only then
// moves the position by one (or leaves it at the end of the range). The level selectors rely on
// that order: they act on the position before the press.

#include <QWidget>

class QToolButton;

class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent);

    int Position() const { return position_; }
    // Clamped into Min()..Max(); raises nothing.
    void SetPosition(int value);

    int Min() const { return min_; }
    int Max() const { return max_; }
    // Both clamp the position; a minimum above the maximum, or a maximum below the minimum, is
    // refused.
    void SetMin(int value);
    void SetMax(int value);

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }

signals:
    void Changing();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Press(int delta);

    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};
