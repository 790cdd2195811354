#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/ScrollBar.h"
#include "tests/app/QtPrinters.h"
#include "tests/app/ScrollBarParts.h"
#include "tests/app/WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The open window in automatic mode, with the sweep settings row shown; every event goes
// through the window, as the user's would.
class SweepPanelTest : public OpenWindowFixture {
protected:
    void SetUp() override {
        OpenWindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        minBox_ = Control<Edit>("EditminF");
        maxBox_ = Control<Edit>("EditMaxF");
        stepBox_ = Control<Edit>("EditKrok");
        dwellBox_ = Control<Edit>("EditProdleva");
        dwell_ = Control<ScrollBar>("ScrollBarProdleva");
        labelF_ = Control<Label>("LabelF");
        panel9_ = Control<Panel>("Panel9");
        auto* range = Control<ComboBox>("ComboBox1");
        range->setFocus();
        while (range->ItemIndex() != 5) { // "   automaticky"
            QTest::keyClick(range, Qt::Key_Down);
        }
        ASSERT_TRUE(Control<QWidget>("Panel4")->isVisible());
    }

    // The positions that the sweep reads: minimum, maximum, step, dwell.
    std::vector<int> Positions() const {
        std::vector<int> positions;
        for (const char* name : {"ScrollBarMinF", "ScrollBarMaxF", "ScrollBarKrok"}) {
            positions.push_back(Control<ScrollBar>(name)->Position());
        }
        positions.push_back(dwell_->Position());
        return positions;
    }

    QStringList Texts() const {
        return {minBox_->text(), maxBox_->text(), stepBox_->text(), dwellBox_->text()};
    }

    void Click(const QWidget* control, QPoint place) {
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                          control->mapTo(window_.get(), place));
    }
    void Click(const QWidget* control) { Click(control, control->rect().center()); }

    // Clicks into the box and types, without Enter.
    void Type(Edit* box, const QString& text) {
        Click(box);
        QTest::keyClicks(box, text);
    }
    void Enter(Edit* box, const QString& text) {
        Type(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Replaces the whole text of the focused box by pasting, so that it changes only once.
    void Paste(Edit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }

    Edit* minBox_ = nullptr;
    Edit* maxBox_ = nullptr;
    Edit* stepBox_ = nullptr;
    Edit* dwellBox_ = nullptr;
    ScrollBar* dwell_ = nullptr;
    Label* labelF_ = nullptr;
    Panel* panel9_ = nullptr;
};

TEST_F(SweepPanelTest, TheRowStartsFromItsDefaultsAndOnlyTheDwellBarIsSeen) {
    // The runs of blanks leave room for the boxes lying over the captions.
    EXPECT_EQ(Control<Panel>("Panel7")->Caption(),
              " minimální frekvence" + QString(18, ' ') + "Hz");
    EXPECT_EQ(Control<Panel>("Panel6")->Caption(),
              " maximální frekvence" + QString(17, ' ') + "Hz");
    EXPECT_EQ(Control<Panel>("Panel5")->Caption(), " krok změny" + QString(18, ' ') + "Hz");
    EXPECT_EQ(Control<Panel>("Panel8")->Caption(), "prodleva" + QString(15, ' ') + "ms");
    EXPECT_EQ(Texts(), (QStringList{"100", "1000", "100", "500"}));

    struct Holder {
        const char* name;
        int min, max, position, arrowStep;
    };
    for (const Holder& holder : std::vector<Holder>{{"ScrollBarMinF", 0, 15000, 100, 100},
                                                    {"ScrollBarMaxF", 0, 15000, 1000, 100},
                                                    {"ScrollBarKrok", 1, 1000, 100, 10},
                                                    {"ScrollBarProdleva", 1, 99, 5, 1}}) {
        const auto* bar = Control<ScrollBar>(holder.name);
        EXPECT_EQ(bar->Min(), holder.min) << holder.name;
        EXPECT_EQ(bar->Max(), holder.max) << holder.name;
        EXPECT_EQ(bar->Position(), holder.position) << holder.name;
        EXPECT_EQ(bar->ArrowStep(), holder.arrowStep) << holder.name;
        EXPECT_EQ(bar->isVisible(), bar == dwell_) << holder.name;
    }
}

TEST_F(SweepPanelTest, LettersTurnLowerCaseInAllButTheMaximumsBox) {
    Type(minBox_, QStringLiteral("AbC"));
    Type(maxBox_, QStringLiteral("AbC"));
    Type(stepBox_, QStringLiteral("$FF"));
    EXPECT_EQ(minBox_->text(), QStringLiteral("abc"));
    EXPECT_EQ(maxBox_->text(), QStringLiteral("AbC"));
    EXPECT_EQ(stepBox_->text(), QStringLiteral("$ff"));
    // Still the hexadecimal number it was typed as.
    QTest::keyClick(stepBox_, Qt::Key_Return);
    EXPECT_EQ(Positions()[2], 255);
}

TEST_F(SweepPanelTest, EnterInTheMinimumsBoxTakesItClampedOrRestoresIt) {
    const std::vector<std::pair<QString, int>> entries = {
        {"20000", 15000}, {"abc", 15000}, {"", 0}, {"  750", 750}, {"-5", 0}, {"7x", 0},
    };
    for (const auto& [text, expected] : entries) {
        Enter(minBox_, text);
        EXPECT_EQ(Positions(), (std::vector<int>{expected, 1000, 100, 5})) << text.toStdString();
        EXPECT_EQ(Texts(), (QStringList{QString::number(expected), "1000", "100", "500"}));
    }
    // A minimum of 0 Hz is the sweep's to refuse; the row only shows it.
    EXPECT_EQ(labelF_->text(), QStringLiteral("0 -> 1000 / 100"));
}

TEST_F(SweepPanelTest, TheStepIsAtLeastOneAndTheMaximumTakesHexadecimal) {
    Enter(stepBox_, QStringLiteral("0"));
    EXPECT_EQ(Positions()[2], 1);
    Enter(stepBox_, QStringLiteral("5000"));
    EXPECT_EQ(Positions()[2], 1000);
    Enter(stepBox_, QString());
    EXPECT_EQ(Positions()[2], 1);
    EXPECT_EQ(stepBox_->text(), QStringLiteral("1"));

    Enter(maxBox_, QStringLiteral("$64"));
    EXPECT_EQ(Positions(), (std::vector<int>{100, 100, 1, 5}));
    EXPECT_EQ(maxBox_->text(), QStringLiteral("100"));
    Enter(maxBox_, QStringLiteral("$FFFFFFFF")); // -1, clamped
    EXPECT_EQ(Positions()[1], 0);
    EXPECT_EQ(labelF_->text(), QStringLiteral("100 -> 0 / 1"));
}

TEST_F(SweepPanelTest, TheBoxesCommitInOrderAndARefreshLosesWhatALaterBoxHeld) {
    // Typed without Enter: the sweep still sees the old maximum.
    Type(maxBox_, QStringLiteral("3000"));
    EXPECT_EQ(Positions()[1], 1000);

    // The minimum comes first and changes, so the maximum's box is rewritten before it is read.
    Type(minBox_, QStringLiteral("200"));
    Type(maxBox_, QStringLiteral("3000"));
    QTest::keyClick(maxBox_, Qt::Key_Return);
    EXPECT_EQ(Positions(), (std::vector<int>{200, 1000, 100, 5}));
    EXPECT_EQ(Texts(), (QStringList{"200", "1000", "100", "500"}));

    // An unchanged minimum leaves the typed maximum alone.
    Type(minBox_, QStringLiteral("200"));
    Type(maxBox_, QStringLiteral("3000"));
    QTest::keyClick(maxBox_, Qt::Key_Return);
    EXPECT_EQ(Positions(), (std::vector<int>{200, 3000, 100, 5}));

    // Enter in an earlier box commits the later ones too, when nothing before them changed.
    Type(stepBox_, QStringLiteral("50"));
    Click(minBox_);
    QTest::keyClick(minBox_, Qt::Key_Return); // empty: 0 Hz, a change
    EXPECT_EQ(Positions(), (std::vector<int>{0, 3000, 100, 5}));
    Type(stepBox_, QStringLiteral("50"));
    Click(minBox_);
    QTest::keyClick(minBox_, Qt::Key_Return); // 0 again: no change
    EXPECT_EQ(Positions(), (std::vector<int>{0, 3000, 50, 5}));
    EXPECT_EQ(labelF_->text(), QStringLiteral("0 -> 3000 / 50"));
}

TEST_F(SweepPanelTest, AnyKeyInTheDwellBoxCommitsAllFourBeforeItActs) {
    Type(minBox_, QStringLiteral("2000"));
    // Tab is no Enter in the boxes it passes, and entering the dwell box commits nothing.
    for (int box = 0; box < 3; ++box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_TRUE(dwellBox_->hasFocus());
    EXPECT_EQ(Positions()[0], 100);
    EXPECT_EQ(minBox_->text(), QStringLiteral("2000"));

    QTest::keyClick(dwellBox_, Qt::Key_Left);
    EXPECT_EQ(Positions(), (std::vector<int>{2000, 1000, 100, 5}));
    EXPECT_EQ(labelF_->text(), QStringLiteral("2000 -> 1000 / 100"));
}

TEST_F(SweepPanelTest, TheDwellBoxShowsAWholeStepOf100MsAfterEveryChange) {
    Click(dwellBox_); // a click sets 100 ms
    EXPECT_EQ(dwell_->Position(), 1);
    const std::vector<std::tuple<QString, QString, int>> pasted = {
        {"250", "200", 2},  {"99", "100", 1},     {"0", "100", 1},   {"12345", "9900", 99},
        {"-150", "100", 1}, {"$3E8", "1000", 10}, {"700", "700", 7}, {"7 00", "700", 7},
    };
    for (const auto& [text, shown, position] : pasted) {
        Paste(dwellBox_, text);
        EXPECT_EQ(dwellBox_->text(), shown) << text.toStdString();
        EXPECT_EQ(dwell_->Position(), position) << text.toStdString();
    }

    // A letter is replaced at once by the dwell; an emptied box counts as 100 ms.
    QTest::keyClick(dwellBox_, Qt::Key_X);
    EXPECT_EQ(dwellBox_->text(), QStringLiteral("700"));
    QTest::keyClick(dwellBox_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(dwellBox_, Qt::Key_Backspace);
    EXPECT_EQ(dwellBox_->text(), QStringLiteral("100"));
    EXPECT_EQ(dwell_->Position(), 1);
}

TEST_F(SweepPanelTest, ClicksEmptyABoxButTheDwellsSets100MsAndRefreshesOnAChange) {
    const QString labelBefore = labelF_->text();
    for (Edit* box : {minBox_, maxBox_, stepBox_}) {
        Click(box);
    }
    EXPECT_EQ(Texts(), (QStringList{"", "", "", "500"}));
    EXPECT_EQ(Positions(), (std::vector<int>{100, 1000, 100, 5}));
    EXPECT_EQ(labelF_->text(), labelBefore);

    panel9_->SetBevelOuter(Panel::Bevel::Lowered);
    Click(dwellBox_);
    EXPECT_EQ(Texts(), (QStringList{"100", "1000", "100", "100"}));
    EXPECT_EQ(Positions(), (std::vector<int>{100, 1000, 100, 1}));
    EXPECT_EQ(labelF_->text(), QStringLiteral("100 -> 1000 / 100"));
    EXPECT_EQ(panel9_->BevelOuter(), Panel::Bevel::Raised);

    // Already 100 ms: no refresh, so an emptied box stays empty.
    Click(stepBox_);
    Click(dwellBox_);
    EXPECT_EQ(Texts(), (QStringList{"100", "1000", "", "100"}));
}

TEST_F(SweepPanelTest, TheDwellScrollBarStepsBy100MsAndRefreshesTheRow) {
    Type(maxBox_, QStringLiteral("4000")); // not committed: lost in the refresh
    panel9_->SetBevelOuter(Panel::Bevel::Lowered);
    QTest::mouseClick(dwell_, Qt::LeftButton, {},
                      PartOf(*dwell_, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(dwell_->Position(), 6);
    EXPECT_EQ(Texts(), (QStringList{"100", "1000", "100", "600"}));
    EXPECT_EQ(labelF_->text(), QStringLiteral("100 -> 1000 / 100"));
    EXPECT_EQ(panel9_->BevelOuter(), Panel::Bevel::Raised);

    dwell_->setFocus();
    QTest::keyClick(dwell_, Qt::Key_End);
    EXPECT_EQ(dwellBox_->text(), QStringLiteral("9900"));
}

TEST_F(SweepPanelTest, ClicksOnTheMinimumAndDwellCaptionsRaisePanel9) {
    for (const char* caption : {"Panel7", "Panel8"}) {
        panel9_->SetBevelOuter(Panel::Bevel::Lowered);
        Click(Control<Panel>(caption), {20, 10});
        EXPECT_EQ(panel9_->BevelOuter(), Panel::Bevel::Raised) << caption;
    }
    EXPECT_EQ(Texts(), (QStringList{"100", "1000", "100", "500"}));
}

} // namespace
