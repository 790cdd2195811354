#include "app/controls/Edit.h"

#include "app/IntegerText.h"
#include "app/controls/Click.h"

#include <QKeyEvent>
#include <QValidator>
#include <string_view>

namespace {

// Accepts any text, in lower case. The box runs it on every change, so the text never shows
// an upper-case letter, not even for a moment.
class LowerCase : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        input = input.toLower();
        return Acceptable;
    }
};

} // namespace

Edit::Edit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    connect(this, &QLineEdit::textChanged, this, &Edit::Change);
}

void Edit::SetTextIfDifferent(const QString& text) {
    if (text != this->text()) {
        setText(text);
    }
}

void Edit::SetLowerCase() {
    setValidator(new LowerCase(this));
    setText(text().toLower());
}

std::optional<std::int32_t> Edit::ReadNumber() {
    if (text().isEmpty()) {
        setText(QStringLiteral("0"));
    }
    return Number();
}

std::optional<std::int32_t> Edit::Number() const {
    const QString current = text();
    return ParseIntegerText(std::u16string_view(QStringView(current).utf16(),
                                                static_cast<std::size_t>(current.size())));
}

bool Edit::event(QEvent* event) {
    // Here rather than in keyPressEvent: Tab never reaches that, the focus moves first.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        emit KeyDown(enter ? KeyEnter : key->key(), key->modifiers());
    }
    return QLineEdit::event(event);
}

void Edit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Coming back from another window or from a menu, the box was the focus all along.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        emit Enter();
    }
}

void Edit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (IsClick(*this, *event)) {
        emit Click();
    }
}
