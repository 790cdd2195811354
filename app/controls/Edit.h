#pragma once

// A one-line edit box, the number box of the window. Its events:
// - KeyDown for every key pressed in it, Tab included, before the key acts; the key code is
//   KeyEnter for Enter (main or keypad) and Qt's key code for any other key.
// - Enter when it receives the keyboard focus by Tab, by a click or from code (not when its
//   window is merely activated again).
// - Click on a left click into it, after Enter when the click also gives the focus.
// - Change after every change of its text, by the user or by code; setting the same text again
//   raises nothing.

#include <QLineEdit>
#include <cstdint>
#include <optional>

class Edit : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int KeyEnter = 13;

    Edit(const QString& text, QWidget* parent);

    // Sets the text unless it already stands, so that the selection and the cursor then stay.
    // For a box rewritten while the user may be typing in it (the sweep row). QLineEdit::setText,
    // which puts the cursor at the end and drops the selection even for the same text, is for a
    // box given a new value outright (the frequency and amplitude boxes).
    void SetTextIfDifferent(const QString& text);

    // From now on its letters are lower case, whether typed, pasted or set from code.
    void SetLowerCase();

    // Reads the box as a number box is read: an empty box is first set to "0"; nothing when the
    // text is then not an integer text (IntegerText.h).
    std::optional<std::int32_t> ReadNumber();
    // The box's text as an integer text, or nothing.
    std::optional<std::int32_t> Number() const;

signals:
    void KeyDown(int key, Qt::KeyboardModifiers shift);
    void Enter();
    void Click();
    void Change();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
