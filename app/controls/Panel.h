#pragma once

// A panel: a coloured area with a one-line caption, framed by an outer and an inner bevel, each
// raised, lowered or absent. The handlers read and set the outer bevel of a panel used as a
// button. Its mouse events carry the pointer's place in the panel: MouseDown on a press of any
// button, MouseMove while a button is held (the panel keeps the mouse until the last button is
// let go, even outside it), Click on a left click and then MouseUp on the release.

#include <QString>
#include <QWidget>

class Panel : public QWidget {
    Q_OBJECT

public:
    enum class Bevel { None, Lowered, Raised };

    explicit Panel(QWidget* parent);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& text);
    // Horizontal placement of the caption; it is always centred vertically.
    void SetAlignment(Qt::Alignment horizontal);

    Bevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(Bevel bevel);
    void SetBevelInner(Bevel bevel);
    void SetBevelWidth(int width);

    void SetColor(const QColor& color);
    void SetFontColor(const QColor& color);

signals:
    void Click();
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    Bevel bevelOuter_ = Bevel::Raised;
    Bevel bevelInner_ = Bevel::None;
    int bevelWidth_ = 1;
};
