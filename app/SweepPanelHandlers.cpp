// The window's handlers of the sweep settings row (Panel4). The sweep's four values live in the
// positions of ScrollBarMinF, ScrollBarMaxF, ScrollBarKrok and ScrollBarProdleva, which clamp
// them; the boxes beside them show the values and take typed ones. The sweep reads only the
// scroll bars, so a value typed but not committed does not reach it.
//
// The handlers re-enter each other synchronously (commit -> refresh -> dwell normalisation);
// every nesting ends because a scroll bar or a box set to what it already holds raises nothing.

#include "app/ProgGenerator.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"

namespace {

// The dwell box shows milliseconds; its scroll bar counts steps of 100 ms.
constexpr int DwellUnit = 100;

} // namespace

// Any change of a position rewrites all four boxes from the positions as they stand, so a text
// typed but not yet committed is lost.
void TProgGenerator::ScrollBarMinMaxKrokChange() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
    EditminF->SetTextIfDifferent(QString::number(ScrollBarMinF->Position()));
    EditMaxF->SetTextIfDifferent(QString::number(ScrollBarMaxF->Position()));
    EditKrok->SetTextIfDifferent(QString::number(ScrollBarKrok->Position()));
    EditProdleva->SetTextIfDifferent(QString::number(ScrollBarProdleva->Position() * DwellUnit));
    LabelF->setText(EditminF->text() + QStringLiteral(" -> ") + EditMaxF->text() +
                    QStringLiteral(" / ") + EditKrok->text());
}

void TProgGenerator::EditminFKeyDown(int key) {
    if (key == Edit::KeyEnter) {
        CommitSweepSettings();
    }
}

void TProgGenerator::EditMaxFKeyDown(int key) {
    if (key == Edit::KeyEnter) {
        CommitSweepSettings();
    }
}

void TProgGenerator::EditKrokKeyDown(int key) {
    if (key == Edit::KeyEnter) {
        CommitSweepSettings();
    }
}

// Every key, an arrow or Tab as much as Enter, commits before it acts.
void TProgGenerator::EditProdlevaKeyDown() {
    CommitSweepSettings();
}

// The dwell takes effect on every change of its box, without Enter, and the box always shows a
// multiple of 100 ms within the scroll bar's range once this has run.
void TProgGenerator::EditProdlevaChange() {
    TakeSweepValue(*EditProdleva, *ScrollBarProdleva, DwellUnit, QStringLiteral("100"));
}

// A click empties the box for typing; the scroll bar keeps its value until a commit.
void TProgGenerator::EditminFClick() {
    EditminF->clear();
}

void TProgGenerator::EditMaxFClick() {
    EditMaxF->clear();
}

void TProgGenerator::EditKrokClick() {
    EditKrok->clear();
}

// Through the dwell's normalisation this sets the dwell to 100 ms at once.
void TProgGenerator::EditProdlevaClick() {
    EditProdleva->SetTextIfDifferent(QStringLiteral("100"));
}

void TProgGenerator::Panel7Click() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
}

void TProgGenerator::Panel8Click() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
}

void TProgGenerator::TakeSweepValue(Edit& box, ScrollBar& holder, int unit,
                                    const QString& whenEmpty) {
    if (box.text().isEmpty()) {
        box.SetTextIfDifferent(whenEmpty);
    }
    if (const auto value = box.Number()) {
        holder.SetPosition(*value / unit);
    }
    box.SetTextIfDifferent(QString::number(holder.Position() * unit));
}

// In this fixed order. When a position changes, the refresh rewrites the later boxes from their
// scroll bars before they are read, so what was typed into them is lost.
void TProgGenerator::CommitSweepSettings() {
    const QString zero = QStringLiteral("0");
    TakeSweepValue(*EditminF, *ScrollBarMinF, 1, zero);
    TakeSweepValue(*EditMaxF, *ScrollBarMaxF, 1, zero);
    TakeSweepValue(*EditKrok, *ScrollBarKrok, 1, zero);
    TakeSweepValue(*EditProdleva, *ScrollBarProdleva, DwellUnit, zero);
}
