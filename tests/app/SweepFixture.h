#pragma once

// The window in automatic mode, ready to start a sweep: the sweep settings set straight into
// their scroll bars, the start button clicked, and the confirmation dialog replaced by a
// recorder that keeps each summary and gives the test's answer.

#include "app/ConfirmationDialog.h"
#include "app/controls/ComboBox.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "tests/app/WindowFixture.h"

#include <QTest>

class SweepFixture : public WindowFixture {
protected:
    using WindowFixture::WindowFixture;

    void SetUp() override {
        WindowFixture::SetUp();
        SetConfirmationDialog([this](const QString& text) {
            summaries_.append(text);
            return answer_;
        });
    }

    void TearDown() override {
        WindowFixture::TearDown();
        SetConfirmationDialog({});
    }

    // Opens the window and chooses "   automaticky", which leaves an 11 Hz tone playing.
    void OpenInAutomaticMode() {
        OpenWindow();
        auto* range = Control<ComboBox>("ComboBox1");
        range->setCurrentIndex(5);
        window_->ComboBox1Change();
    }

    void SetSweep(int minF, int maxF, int krok, int t) {
        Control<ScrollBar>("ScrollBarMinF")->SetPosition(minF);
        Control<ScrollBar>("ScrollBarMaxF")->SetPosition(maxF);
        Control<ScrollBar>("ScrollBarKrok")->SetPosition(krok);
        Control<ScrollBar>("ScrollBarProdleva")->SetPosition(t);
    }

    // A click on " start", as the user gives it; returns when the run is over.
    void ClickStart() {
        QTest::mouseClick(Control<SpeedButton>("PlayGenerujAuto"), Qt::LeftButton);
    }

    QMessageBox::StandardButton answer_ = QMessageBox::No;
    QStringList summaries_;
};
