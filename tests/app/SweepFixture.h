#pragma once

// The window in automatic mode, ready to start a sweep: the sweep settings set straight into
// their scroll bars, the start button clicked, and the confirmation dialog answered by a watcher
// that keeps each summary and presses the test's answer.

#include "app/controls/ComboBox.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "tests/app/WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class SweepFixture : public WindowFixture {
protected:
    using WindowFixture::WindowFixture;

    void SetUp() override {
        WindowFixture::SetUp();
        // The real confirmation dialog, answered once it is up.
        confirmations_.callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->button(answer_) != nullptr) {
                summaries_.append(box->text());
                box->button(answer_)->click();
            }
        });
        confirmations_.start(1);
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
    QTimer confirmations_;
};
