#pragma once

// The real window, shown on the offscreen platform, in a working directory of its own (the
// window writes "pokus.wav" and, with PROGEN_MIXER=file:mixer.txt, the mixer file there).

#include "app/ProgGenerator.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class WindowFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        ASSERT_TRUE(QDir::setCurrent(directory.path()));
        window = std::make_unique<TProgGenerator>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override {
        window.reset();
        QDir::setCurrent(previous);
    }

    // The window's control of that name; the test fails if there is none of that kind.
    template <class Kind>
    Kind* Control(const char* name) const {
        auto* control = window->findChild<Kind*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QTemporaryDir directory;
    QString previous = QDir::currentPath();
    std::unique_ptr<TProgGenerator> window;
};
