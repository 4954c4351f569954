#pragma once
// A shown, active window for labels to live on, and a recorder of the
// errors that reach the event loop's boundary.

#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace fixtures {

class LabelWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        brindle::SetWidgetErrorHandler([this](const QString& message) { errors.append(message); });
    }
    void TearDown() override
    {
        brindle::SetWidgetErrorHandler([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    }

    QWidget window;
    QStringList errors;
};

} // namespace fixtures
