// The round button driven with the mouse and read back from its picture.
#include <brindle/panels/round_button.h>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace brindle {
namespace {

const QColor Grey(0x80, 0x80, 0x80);

// A shown window holding one 80 by 20 button, and what the button reports.
struct ButtonWindow {
    QWidget window;
    TVxRndBtn* button = new TVxRndBtn(&window);
    int clicks = 0;
    int signals_ = 0;
    bool held = false;

    ButtonWindow()
    {
        window.resize(200, 100);
        button->setGeometry(20, 20, 80, 20);
        button->OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, button);
            ++clicks;
        };
        QObject::connect(button, &TVxRndBtn::clicked, [this] { ++signals_; });
        // Away from where the window appears, which would hover the button.
        QCursor::setPos(700, 500);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // QTest keeps a held button for the next test's moves.
    ~ButtonWindow()
    {
        if (held)
            release(QPoint(150, 80));
    }
    // The button's pixels as the window shows them.
    QImage picture() { return window.grab(button->geometry()).toImage(); }
    QColor pixel(int x, int y) { return picture().pixelColor(x, y); }
    QPoint centre() const { return button->rect().center(); }
    void press(QPoint at)
    {
        QTest::mousePress(button, Qt::LeftButton, {}, at);
        held = true;
    }
    void release(QPoint at)
    {
        QTest::mouseRelease(button, Qt::LeftButton, {}, at);
        held = false;
    }
    // A move with the left button held: no cursor move, as while dragging.
    void drag(QPoint to)
    {
        QMouseEvent move(QEvent::MouseMove, to, button->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(button, &move);
    }
};

int distance(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// The caption's pixels: those inside the border that differ from the fill.
QRect captionBox(const QImage& image, const QColor& fill)
{
    QRect box;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 10; x < image.width() - 10; ++x)
            if (distance(image.pixelColor(x, y), fill) > 150)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Whether some pixel of the box comes close to the colour (smoothed text
// seldom covers a pixel whole).
bool holds(const QImage& image, const QRect& box, const QColor& colour)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (distance(image.pixelColor(x, y), colour) < 60)
                return true;
    return false;
}

TEST(RoundButton, StartsAsASmallUnfocusableHandPointerButton)
{
    TVxRndBtn button;
    EXPECT_EQ(button.size(), QSize(18, 25));
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(button.Flat() && button.Rounded() && !button.AllowPress() && !button.AutoSize());
    EXPECT_EQ(button.PressedColor(), QColor(Qt::black));
    EXPECT_EQ(button.OverColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(button.Margin(), -1);
}

TEST(RoundButton, CornerSizeAndBorderOffsetFollowTheHeight)
{
    struct Case { bool rounded; int height; int corner; QPoint offset; };
    for (const Case& c : {Case{true, 20, 15, {2, 3}}, Case{false, 20, 0, {1, 1}}, Case{true, 25, 18, {2, 4}}}) {
        TVxRndBtn button;
        button.SetRounded(c.rounded);
        button.resize(40, c.height);
        EXPECT_EQ(button.CornerSize(), c.corner) << c.height;
        EXPECT_EQ(button.BorderOffset(), c.offset) << c.height;
    }
    // A square button draws its corner pixel, a rounded one leaves it.
    ButtonWindow w;
    EXPECT_EQ(w.pixel(0, 0), w.window.palette().color(QPalette::Window));
    w.button->SetRounded(false);
    EXPECT_EQ(w.pixel(0, 0), Grey);
}

// Fill and border by state: top and bottom edge in the middle of the button.
TEST(RoundButton, PaintsFillAndBorderByState)
{
    enum Pointer { Away, Over, Pressed };
    struct Case { bool flat; bool allowPress; Pointer pointer; const char* fill; QColor top, bottom; };
    const Case cases[] = {
        {true, false, Away, "button", Grey, Grey},
        {true, false, Over, "over", Grey, Grey},
        {true, false, Pressed, "pressed", Grey, Grey},
        {true, true, Away, "button", Grey, Grey},
        {true, true, Over, "over", Qt::white, Qt::black},
        {true, true, Pressed, "pressed", Qt::black, Qt::white},
        {false, true, Away, "button", Qt::white, Qt::black},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flat << c.allowPress << c.pointer);
        ButtonWindow w;
        w.button->SetFlat(c.flat);
        w.button->SetAllowPress(c.allowPress);
        w.button->SetPressedColor(QColor(0, 0, 160));
        if (c.pointer != Away)
            QTest::mouseMove(w.button, w.centre());
        if (c.pointer == Pressed)
            w.press(w.centre());
        const QColor fill = QString(c.fill) == "pressed" ? QColor(0, 0, 160)
                            : QString(c.fill) == "over"  ? w.button->OverColor()
                                                         : w.button->palette().color(QPalette::Button);
        EXPECT_EQ(w.pixel(40, 10), fill);
        EXPECT_EQ(w.pixel(40, 0), c.top);
        EXPECT_EQ(w.pixel(40, 19), c.bottom);
    }
}

TEST(RoundButton, PressedCaptionIsWhiteInPlaceOrShiftedWithAllowPress)
{
    ButtonWindow w;
    w.button->SetCaption("Hb");
    const QRect up = captionBox(w.picture(), w.button->palette().color(QPalette::Button));
    ASSERT_FALSE(up.isEmpty());

    w.press(w.centre());
    const QImage pressed = w.picture();
    EXPECT_EQ(captionBox(pressed, Qt::black), up);
    EXPECT_TRUE(holds(pressed, up, Qt::white));
    w.release(w.centre());

    w.button->SetAllowPress(true);
    w.button->SetPressedColor(QColor(255, 220, 0));
    w.press(w.centre());
    const QImage sunken = w.picture();
    EXPECT_EQ(captionBox(sunken, QColor(255, 220, 0)), up.translated(1, 1));
    EXPECT_TRUE(holds(sunken, up.translated(1, 1), w.button->palette().color(QPalette::ButtonText)));
}

TEST(RoundButton, ClicksOnlyOnAReleaseInside)
{
    ButtonWindow w;
    const QPoint inside = w.centre();
    const QPoint outside(120, 10);

    w.press(inside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDown);
    w.drag(outside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    w.release(outside);
    EXPECT_EQ(w.clicks, 0);

    w.press(inside);
    w.drag(outside);
    w.drag(inside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDown);
    w.release(inside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    EXPECT_EQ(w.clicks, 1);

    QTest::mouseClick(w.button, Qt::RightButton, {}, inside);
    EXPECT_EQ(w.clicks, 1);

    // A button that stays down stays so through a click.
    w.button->SetDown(true);
    w.press(inside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsExclusive);
    w.release(inside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsExclusive);
    EXPECT_EQ(w.clicks, 2);
    EXPECT_EQ(w.signals_, 2);
}

TEST(RoundButton, DisabledButtonNeitherHoversNorPresses)
{
    ButtonWindow w;
    QTest::mouseMove(w.button, w.centre());
    ASSERT_TRUE(w.button->MouseInControl());
    w.button->setEnabled(false);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDisabled);
    EXPECT_FALSE(w.button->MouseInControl());
    EXPECT_EQ(w.pixel(40, 10), w.button->palette().color(QPalette::Disabled, QPalette::Button));
    w.button->setEnabled(true);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    // Re-enabled under the pointer, a flat button is hovered again.
    EXPECT_TRUE(w.button->MouseInControl());
}

TEST(RoundButton, FlatButtonLeavesItsCornersToTheParent)
{
    ButtonWindow w;
    QPalette parent = w.window.palette();
    parent.setColor(QPalette::Window, Qt::red);
    w.window.setPalette(parent);
    w.window.setAutoFillBackground(true);
    QPalette own = w.button->palette();
    own.setColor(QPalette::Window, Qt::blue);
    w.button->setPalette(own);
    EXPECT_EQ(w.pixel(0, 0), QColor(Qt::red));
    w.button->SetFlat(false);
    EXPECT_EQ(w.pixel(0, 0), QColor(Qt::blue));
}

TEST(RoundButton, MarginBelowMinusOneIsIgnored)
{
    TVxRndBtn button;
    button.SetMargin(4);
    button.SetMargin(-2);
    EXPECT_EQ(button.Margin(), 4);
    button.SetMargin(-1);
    EXPECT_EQ(button.Margin(), -1);
}

TEST(RoundButton, AutoSizeFitsCaptionAndFont)
{
    TVxRndBtn button;
    button.SetCaption("Run query");
    button.SetAutoSize(true);
    const auto expectFitted = [&](const char* text) {
        const QFontMetrics metrics(button.font());
        EXPECT_NEAR(button.width(), metrics.horizontalAdvance(text) + 10, 1) << text;
        EXPECT_EQ(button.height(), metrics.height() + 1) << text;
    };
    expectFitted("Run query");
    const QSize plain = button.size();
    // The accelerator's ampersand takes no room.
    button.SetCaption("&Run query");
    EXPECT_EQ(button.size(), plain);
    QFont big = button.font();
    big.setPointSize(big.pointSize() * 2);
    button.setFont(big);
    expectFitted("Run query");
    button.SetCaption("Run all queries");
    expectFitted("Run all queries");
}

TEST(RoundButton, AcceleratorClicksAnEnabledButton)
{
    ButtonWindow w;
    w.button->SetCaption("&Run");
    QApplication::setActiveWindow(&w.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(w.clicks, 1);
    w.button->setEnabled(false);
    QTest::keyClick(&w.window, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(w.clicks, 1);
}

} // namespace
} // namespace brindle
