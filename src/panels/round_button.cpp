#include <brindle/panels/round_button.h>

#include <brindle/panels/accessibility.h>
#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QPointer>
#include <QShortcutEvent>

namespace brindle {

namespace {

const QColor OutlineGrey(0x80, 0x80, 0x80);

int captionWidth(const QFontMetrics& metrics, const QString& caption)
{
    return metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, caption).width();
}

} // namespace

TVxRndBtn::TVxRndBtn(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    // OnMouseMove fires while the pointer passes over the button, not only
    // while a button is held.
    setMouseTracking(true);
    resize(18, 25);
    applyOpacity();
    InstallAccessibility();
}

void TVxRndBtn::SetAllowPress(bool allow)
{
    setAndRepaint(FAllowPress, allow);
}

void TVxRndBtn::SetMargin(int margin)
{
    if (margin < -1)
        return;
    setAndRepaint(FMargin, margin);
}

void TVxRndBtn::SetFlat(bool flat)
{
    if (flat == FFlat)
        return;
    FFlat = flat;
    applyOpacity();
    update();
}

void TVxRndBtn::SetRounded(bool rounded)
{
    setAndRepaint(FRounded, rounded);
}

void TVxRndBtn::SetPressedColor(const QColor& color)
{
    setAndRepaint(FPressedColor, color);
}

void TVxRndBtn::SetOverColor(const QColor& color)
{
    setAndRepaint(FOverColor, color);
}

void TVxRndBtn::SetAutoSize(bool autoSize)
{
    if (autoSize == FAutoSize)
        return;
    FAutoSize = autoSize;
    AdjustSize();
}

void TVxRndBtn::SetCaption(const QString& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    grabAccelerator();
    AdjustSize();
    update();
}

void TVxRndBtn::SetDown(bool down)
{
    if (down == FDown)
        return;
    FDown = down;
    if (FState != bsDisabled)
        setState(restingState());
}

int TVxRndBtn::CornerSize() const
{
    return FRounded ? 3 * height() / 4 : 0;
}

QPoint TVxRndBtn::BorderOffset() const
{
    return FRounded ? QPoint(2, CornerSize() / 4) : QPoint(1, 1);
}

void TVxRndBtn::AdjustSize()
{
    if (!FAutoSize)
        return;
    const QFontMetrics metrics(font());
    resize(captionWidth(metrics, FCaption) + 10, metrics.height() + 1);
    update();
}

void TVxRndBtn::UpdateTracking()
{
    if (!FFlat || !isEnabled())
        return;
    const bool over = QApplication::widgetAt(QCursor::pos()) == this;
    if (over == FMouseInControl)
        return;
    if (over)
        mouseEntered();
    else
        mouseLeft();
}

void TVxRndBtn::Click()
{
    // A host's OnClick may free the button (a row button removing its row).
    const QPointer<TVxRndBtn> self(this);
    if (OnClick)
        OnClick(this);
    if (self)
        emit clicked();
}

void TVxRndBtn::Paint(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const qreal radius = CornerSize() / 2.0;
    const bool down = isDown();
    painter.setRenderHint(QPainter::Antialiasing);

    if (!FFlat)
        painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(Qt::NoPen);
    painter.setBrush(down ? FPressedColor : FMouseInControl ? FOverColor : palette().color(QPalette::Button));
    painter.drawRoundedRect(QRectF(0, 0, w, h), radius, radius);

    const QFontMetrics metrics(font());
    const int textWidth = captionWidth(metrics, FCaption);
    const int shift = down && FAllowPress ? 1 : 0;
    const QRect textRect((w - textWidth) / 2 + shift, (h - metrics.height()) / 2 + shift, textWidth,
                         metrics.height());
    painter.setPen(down && !FAllowPress ? QColor(Qt::white) : palette().color(QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextDontClip,
                     FCaption);

    // The outline runs through the centres of the edge pixels. It is filled
    // as a mitred stroke: Qt's thin pen leaves a square corner's pixel partly
    // uncovered, at any pixel ratio.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
    const QPainterPath outline =
        QPainterPathStroker(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)).createStroke(shape);
    if (!FAllowPress || (FFlat && !FMouseInControl)) {
        painter.fillPath(outline, OutlineGrey);
        return;
    }
    // Two clipped passes: the light outline keeps its top and left part, the
    // dark one, drawn over it, everything past the border offset.
    painter.setClipRect(rect().translated(-1, -1));
    painter.fillPath(outline, down ? Qt::black : Qt::white);
    painter.setClipRect(rect().translated(BorderOffset()));
    painter.fillPath(outline, down ? Qt::white : Qt::black);
    painter.setClipping(false);
}

bool TVxRndBtn::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && FAcceleratorId != 0
        && static_cast<QShortcutEvent*>(event)->shortcutId() == FAcceleratorId) {
        // Qt offers the accelerator only while the button is enabled and
        // visible; otherwise the key goes on to the focused control.
        Guarded([&] { Click(); });
        return true;
    }
    return QWidget::event(event);
}

void TVxRndBtn::changeEvent(QEvent* event)
{
    Guarded([&] {
        switch (event->type()) {
        case QEvent::EnabledChange:
            if (isEnabled()) {
                FState = restingState();
            } else {
                FState = bsDisabled;
                FMouseInControl = false;
                FDragging = false;
            }
            UpdateTracking();
            update();
            break;
        case QEvent::FontChange:
            AdjustSize();
            update();
            break;
        default:
            break;
        }
    });
    QWidget::changeEvent(event);
}

void TVxRndBtn::paintEvent(QPaintEvent*)
{
    Guarded([&] {
        QPainter painter(this);
        Paint(painter);
    });
}

void TVxRndBtn::enterEvent(QEnterEvent*)
{
    Guarded([&] { mouseEntered(); });
}

void TVxRndBtn::leaveEvent(QEvent*)
{
    Guarded([&] { mouseLeft(); });
}

void TVxRndBtn::mousePressEvent(QMouseEvent* event)
{
    Guarded([&] { pressed(event); });
}

void TVxRndBtn::mouseDoubleClickEvent(QMouseEvent* event)
{
    Guarded([&] {
        const QPointer<TVxRndBtn> self(this);
        if (OnDblClick)
            OnDblClick(this);
        // The second press of a double click presses the button again.
        if (self)
            pressed(event);
    });
}

void TVxRndBtn::mouseMoveEvent(QMouseEvent* event)
{
    Guarded([&] {
        const QPoint pos = event->position().toPoint();
        const QPointer<TVxRndBtn> self(this);
        if (OnMouseMove)
            OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
        if (!self || !FDragging)
            return;
        if (FDown)
            setState(bsExclusive);
        else
            setState(rect().contains(pos) ? bsDown : bsUp);
    });
}

void TVxRndBtn::mouseReleaseEvent(QMouseEvent* event)
{
    Guarded([&] {
        const QPoint pos = event->position().toPoint();
        const QPointer<TVxRndBtn> self(this);
        if (OnMouseUp)
            OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
        if (!self || !FDragging || event->button() != Qt::LeftButton)
            return;
        FDragging = false;
        FState = restingState();
        FMouseInControl = false;
        update();
        if (rect().contains(pos)) {
            Click();
            if (!self)
                return;
        }
        UpdateTracking();
    });
}

void TVxRndBtn::mouseEntered()
{
    if (!isEnabled() || FMouseInControl)
        return;
    FMouseInControl = true;
    update();
}

void TVxRndBtn::mouseLeft()
{
    if (!isEnabled() || !FMouseInControl || FDragging)
        return;
    FMouseInControl = false;
    update();
}

void TVxRndBtn::pressed(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPointer<TVxRndBtn> self(this);
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
    if (!self || event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!FDown)
        setState(bsDown);
    FDragging = true;
}

void TVxRndBtn::setState(TButtonState state)
{
    setAndRepaint(FState, state);
}

void TVxRndBtn::grabAccelerator()
{
    if (FAcceleratorId != 0)
        releaseShortcut(FAcceleratorId);
    FAcceleratorId = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(FCaption);
    if (accelerator.isEmpty())
        return;
    FAcceleratorId = grabShortcut(accelerator);
}

void TVxRndBtn::applyOpacity()
{
    // A button that is not flat paints every pixel, so Qt need not paint
    // the parent beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent, !FFlat);
}

} // namespace brindle
