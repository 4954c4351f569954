#pragma once
// TVxRndBtn: a small push button the library paints itself, with rounded
// corners, a flat or a 3-D border, and hover and pressed colours. It never
// takes the focus; it clicks on a left-button release inside it and on the
// accelerator character of its caption ("&x": Alt+X in its window). The
// query panel's row buttons (TFilterBtn) and the result fields panel's row
// buttons (TRFRowButton) are its descendants and add nothing.
//
// A flat button leaves everything outside its rounded shape unpainted, so
// its parent shows through; a button that is not flat paints its whole
// rectangle. The button owns nothing but its caption's accelerator.

#include <brindle/brindle_widgets_export.h>

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

namespace brindle {

class BRINDLE_WIDGETS_EXPORT TVxRndBtn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AllowPress READ AllowPress WRITE SetAllowPress)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool Rounded READ Rounded WRITE SetRounded)
    Q_PROPERTY(QColor PressedColor READ PressedColor WRITE SetPressedColor)
    Q_PROPERTY(QColor OverColor READ OverColor WRITE SetOverColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;

    // 18 by 25 pixels, hand-pointer cursor, no focus.
    explicit TVxRndBtn(QWidget* parent = nullptr);

    // The button shows a sunken 3-D look while pressed.
    bool AllowPress() const { return FAllowPress; }
    void SetAllowPress(bool allow);
    // Stored for the panels' layout; a value below -1 is ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int margin);
    // The 3-D border shows only while the mouse is over a flat button.
    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool rounded);
    const QColor& PressedColor() const { return FPressedColor; }
    void SetPressedColor(const QColor& color);
    const QColor& OverColor() const { return FOverColor; }
    void SetOverColor(const QColor& color);
    // With AutoSize the button fits its caption (AdjustSize) whenever the
    // caption or the font changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    // A button that stays down shows the exclusive state until released by
    // SetDown(false).
    bool Down() const { return FDown; }
    void SetDown(bool down);

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    // The diameter of the corner arcs at the current height: 3/4 of it when
    // rounded, else 0.
    int CornerSize() const;
    // How far the dark half of the 3-D border is moved from the light half.
    QPoint BorderOffset() const;

    // Width: the caption's width + 10; height: its height + 1 (AutoSize only).
    void AdjustSize();
    // Follows the pointer on a flat, enabled button: hovered when the widget
    // under the pointer is this one.
    void UpdateTracking();
    // Runs OnClick and emits clicked().
    void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

signals:
    void clicked();

protected:
    virtual void Paint(QPainter& painter);

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void mouseEntered();
    void mouseLeft();
    void pressed(QMouseEvent* event);
    void setState(TButtonState state);
    // The state a button rests in when not pressed.
    TButtonState restingState() const { return FDown ? bsExclusive : bsUp; }
    bool isDown() const { return FState == bsDown || FState == bsExclusive; }
    void grabAccelerator();
    void applyOpacity();
    template <typename T>
    void setAndRepaint(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        update();
    }

    bool FAllowPress = false;
    bool FDown = false;
    bool FDragging = false;
    int FMargin = -1;
    bool FFlat = true;
    bool FRounded = true;
    bool FMouseInControl = false;
    QColor FPressedColor = Qt::black;
    QColor FOverColor = QColor(0xC0, 0xC0, 0xC0);
    TButtonState FState = bsUp;
    bool FAutoSize = false;
    QString FCaption;
    int FAcceleratorId = 0;
};

// The query panel's row button.
class BRINDLE_WIDGETS_EXPORT TFilterBtn : public TVxRndBtn {
    Q_OBJECT

public:
    using TVxRndBtn::TVxRndBtn;
};

// The result fields panel's row button.
class BRINDLE_WIDGETS_EXPORT TRFRowButton : public TVxRndBtn {
    Q_OBJECT

public:
    using TVxRndBtn::TVxRndBtn;
};

} // namespace brindle
