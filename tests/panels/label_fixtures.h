#pragma once
// A shown, active window for labels to live on, and a recorder of the
// errors that reach the event loop's boundary.

#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

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

// Once the next popup (a menu, a word's list) is open: looks at it, then
// presses the keys in whatever popup is open at each key.
inline void onPopup(QList<Qt::Key> keys, std::function<void(QWidget*)> look = {})
{
    QTimer::singleShot(0, [keys, look] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_TRUE(popup);
        if (look)
            look(popup);
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::activePopupWidget(), key);
    });
}

// Chooses the entry whose data is the tag in the next menu to open.
inline void onMenuTag(int tag)
{
    onPopup({Qt::Key_Return}, [tag](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_TRUE(menu);
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->data().toInt() == tag)
                menu->setActiveAction(action);
    });
}

} // namespace fixtures
