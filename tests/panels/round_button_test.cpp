// The round button driven with the mouse and read back from its picture.
#include <brindle/panels/round_button.h>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace brindle {
namespace {

const QColor Grey(0x80, 0x80, 0x80);

// A shown window holding one 80 by 20 button, counting its clicks.
struct ButtonWindow {
    QWidget window;
    TVxRndBtn* button = new TVxRndBtn(&window);
    const QPoint centre{40, 10};
    int clicks = 0;
    int signals_ = 0;

    ButtonWindow()
    {
        window.resize(200, 100);
        button->setGeometry(20, 20, 80, 20);
        button->OnClick = [this](QObject* sender) { clicks += sender == button; };
        QObject::connect(button, &TVxRndBtn::clicked, [this] { ++signals_; });
        // Away from where the window appears, which would hover the button.
        QCursor::setPos(700, 500);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // QTest would keep a held mouse button for the next test.
    ~ButtonWindow() { QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 80)); }
    // The button's pixels as the window shows them.
    QImage picture() { return window.grab(button->geometry()).toImage(); }
    QColor pixel(int x, int y) { return picture().pixelColor(x, y); }
    void press(QPoint at) { QTest::mousePress(button, Qt::LeftButton, {}, at); }
    void release(QPoint at) { QTest::mouseRelease(button, Qt::LeftButton, {}, at); }
};

int distance(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// The caption's pixels, those inside the border far from the fill; and
// whether one of them comes close to the colour (smoothed text seldom
// covers a pixel whole).
QRect captionBox(const QImage& image, const QColor& fill, const QColor& text)
{
    QRect box;
    bool textSeen = false;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 10; x < image.width() - 10; ++x)
            if (distance(image.pixelColor(x, y), fill) > 150) {
                box |= QRect(x, y, 1, 1);
                textSeen = textSeen || distance(image.pixelColor(x, y), text) < 60;
            }
    EXPECT_TRUE(textSeen) << "caption colour " << text.name().toStdString();
    return box;
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
    // A rounded button leaves its corner pixel to the parent when flat and
    // to its own background when not; a square one draws it.
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
    w.button->SetRounded(false);
    EXPECT_EQ(w.pixel(0, 0), Grey);
}

// Fill and border by state: top and bottom edge in the middle of the button.
TEST(RoundButton, PaintsFillAndBorderByState)
{
    enum Pointer { Away, Over, Pressed };
    const QColor pressed(0, 0, 160), over(0xC0, 0xC0, 0xC0);
    const QColor button = QApplication::palette().color(QPalette::Button);
    struct Case { bool flat; bool allowPress; Pointer pointer; QColor fill, top, bottom; };
    const Case cases[] = {
        {true, false, Away, button, Grey, Grey},
        {true, false, Over, over, Grey, Grey},
        {true, false, Pressed, pressed, Grey, Grey},
        {true, true, Away, button, Grey, Grey},
        {true, true, Over, over, Qt::white, Qt::black},
        {true, true, Pressed, pressed, Qt::black, Qt::white},
        {false, true, Away, button, Qt::white, Qt::black},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flat << c.allowPress << c.pointer);
        ButtonWindow w;
        w.button->SetFlat(c.flat);
        w.button->SetAllowPress(c.allowPress);
        w.button->SetPressedColor(pressed);
        if (c.pointer != Away)
            QTest::mouseMove(w.button, w.centre);
        if (c.pointer == Pressed)
            w.press(w.centre);
        EXPECT_EQ(w.pixel(40, 10), c.fill);
        EXPECT_EQ(w.pixel(40, 0), c.top);
        EXPECT_EQ(w.pixel(40, 19), c.bottom);
    }
}

TEST(RoundButton, PressedCaptionIsWhiteInPlaceOrShiftedWithAllowPress)
{
    ButtonWindow w;
    const QColor text = w.button->palette().color(QPalette::ButtonText);
    w.button->SetCaption("Hb");
    const QRect up = captionBox(w.picture(), w.button->palette().color(QPalette::Button), text);
    w.press(w.centre);
    EXPECT_EQ(captionBox(w.picture(), Qt::black, Qt::white), up);
    w.release(w.centre);

    w.button->SetAllowPress(true);
    w.button->SetPressedColor(QColor(255, 220, 0));
    w.press(w.centre);
    EXPECT_EQ(captionBox(w.picture(), QColor(255, 220, 0), text), up.translated(1, 1));
}

TEST(RoundButton, ClicksOnlyOnAReleaseInside)
{
    ButtonWindow w;
    const QPoint outside(120, 10);
    w.press(w.centre);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDown);
    QTest::mouseMove(w.button, outside);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    w.release(outside);
    EXPECT_EQ(w.clicks, 0);

    w.press(w.centre);
    QTest::mouseMove(w.button, outside);
    QTest::mouseMove(w.button, w.centre);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDown);
    w.release(w.centre);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    EXPECT_EQ(w.clicks, 1);

    QTest::mouseClick(w.button, Qt::RightButton, {}, w.centre);
    EXPECT_EQ(w.clicks, 1);

    // A button that stays down stays so through a click.
    w.button->SetDown(true);
    w.press(w.centre);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsExclusive);
    w.release(w.centre);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsExclusive);
    EXPECT_EQ(w.clicks, 2);
    EXPECT_EQ(w.signals_, 2);
}

TEST(RoundButton, DisabledButtonNeitherHoversNorPresses)
{
    ButtonWindow w;
    QTest::mouseMove(w.button, w.centre);
    ASSERT_TRUE(w.button->MouseInControl());
    w.button->setEnabled(false);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsDisabled);
    EXPECT_EQ(w.pixel(40, 10), w.button->palette().color(QPalette::Disabled, QPalette::Button));
    w.button->setEnabled(true);
    EXPECT_EQ(w.button->State(), TVxRndBtn::bsUp);
    // Enabled again under the pointer, a flat button is hovered again.
    EXPECT_TRUE(w.button->MouseInControl());
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
    const auto expectFitted = [&](const char* caption, const char* shown) {
        button.SetCaption(caption);
        const QFontMetrics metrics(button.font());
        EXPECT_NEAR(button.width(), metrics.horizontalAdvance(shown) + 10, 1) << caption;
        EXPECT_EQ(button.height(), metrics.height() + 1) << caption;
    };
    button.SetAutoSize(true);
    expectFitted("&Run query", "Run query");
    QFont big = button.font();
    big.setPointSize(big.pointSize() * 2);
    button.setFont(big);
    expectFitted("&Run query", "Run query");
    expectFitted("Run all queries", "Run all queries");
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
