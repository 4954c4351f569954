#include <brindle/panels/drop_down_label.h>

#include <brindle/panels/accessibility.h>
#include <brindle/panels/event_guard.h>

#include <brindle/query/query.h>

#include <QApplication>
#include <QPointer>
#include <QMouseEvent>
#include <QPainter>

namespace brindle {

TDropDownLabel::TDropDownLabel(QWidget* parent) : TDropDownLabel(weCustom, parent) {}

TDropDownLabel::TDropDownLabel(TWordEditor editor, QWidget* parent)
    : QWidget(parent), FOwnWord(std::make_unique<TQueryWord>(editor)), FWord(FOwnWord.get())
{
    // A new child shows with its parent; one that is already on screen
    // needs showing.
    if (parent && parent->isVisible())
        show();
    setCursor(Qt::PointingHandCursor);
    InstallAccessibility();
    follow(FWord);
    WordChanged();
}

TDropDownLabel::~TDropDownLabel() = default;

void TDropDownLabel::follow(TQueryWord* word)
{
    disconnect(FFollowing);
    FFollowing = connect(word->Notifier(), &TWordNotifier::changed, this, [this] { WordChanged(); });
}

void TDropDownLabel::BindWord(TQueryWord* word)
{
    if (!word)
        word = FOwnWord.get();
    if (word == FWord)
        return;
    FWord = word;
    follow(FWord);
    WordChanged();
}

void TDropDownLabel::ForgetWord()
{
    // The old word's notifier went with it, and its connection too.
    FWord = FOwnWord.get();
    follow(FWord);
    WordChanged();
}

void TDropDownLabel::SetOwnerShown(bool shown)
{
    FOwnerShown = shown;
    applyVisibility();
}

void TDropDownLabel::applyVisibility()
{
    // A label without a parent is no window of its own; a child not hidden
    // on purpose shows with its parent.
    if (!parentWidget())
        return;
    const bool wanted = FWord->Visible() && FOwnerShown && !FHiddenForEditor;
    const bool shown = !(testAttribute(Qt::WA_WState_ExplicitShowHide) && isHidden());
    if (wanted != shown)
        setVisible(wanted);
}

void TDropDownLabel::SetValue(const QString& value)
{
    FWord->SetValue(value);
}

void TDropDownLabel::SetCaption(const QString& caption)
{
    FWord->SetCaption(caption);
}

void TDropDownLabel::acceptValue(const QString& value)
{
    const QPointer<TDropDownLabel> alive(this);
    if (TFilterRow* row = FWord->Row()) {
        // A failed change is reported here, so that the editor still closes.
        if (!Guarded([&] { row->QueryPanel()->AcceptWordValue(row, FWord, value); }))
            return;
    } else if (!FChoiceOnly) {
        FWord->SetValue(value);
    }
    // Applying the value may have taken the label's row, and the label.
    if (alive)
        valueApplied(value);
}

void TDropDownLabel::setEditorCaption(const QString& caption)
{
    if (!FWord->Row())
        FWord->SetCaption(caption);
}

void TDropDownLabel::valueApplied(const QString& value)
{
    tell(&TDropDownLabel::valueAccepted, OnAcceptValue, value);
}

void TDropDownLabel::WordChanged()
{
    // A panel makes thousands of labels and words change one property at a
    // time, so only what differs reaches the widget.
    if (toolTip() != FWord->Hint())
        setToolTip(FWord->Hint());
    if (isEnabled() != FWord->Enabled())
        setEnabled(FWord->Enabled());
    applyVisibility();
    const QString caption = shownText();
    if (caption != FShownCaption) {
        FShownCaption = caption;
        resize(sizeHint());
        update();
    }
}

QSize TDropDownLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const QString caption = shownText();
    if (caption != EmptyWordCaption)
        return {metrics.horizontalAdvance(caption), metrics.height()};
    // Every new label shows the placeholder first: measured once per font.
    static QFont measuredFont;
    static int placeholderWidth = -1;
    if (placeholderWidth < 0 || font() != measuredFont) {
        measuredFont = font();
        placeholderWidth = metrics.horizontalAdvance(caption);
    }
    return {placeholderWidth, metrics.height()};
}

void TDropDownLabel::SetEditMode(bool on)
{
    if (on == IsEditMode())
        return;
    if (on)
        DropDown();
    else
        DropUp(true);
}

void TDropDownLabel::CloseEdit(bool accept)
{
    if (IsEditMode())
        DropUp(accept);
}

void TDropDownLabel::SetFocused(bool focused)
{
    FFocused = focused;
    update();
}

void TDropDownLabel::SetBiDiMode(Qt::LayoutDirection mode)
{
    setLayoutDirection(mode);
}

void TDropDownLabel::DropDown()
{
    if (Fixed())
        return;
    if (!tell(&TDropDownLabel::aboutToDropDown, BeforeDropDown))
        return;
    const QPointer<TDropDownLabel> alive(this);
    FDropped = true;
    ShowControl();
    // An editor that closed itself while being shown (a popup menu) has
    // nothing more to announce.
    if (!alive || !FDropped)
        return;
    emit droppedDown(this);
    if (alive && FDropped && AfterDropDown)
        AfterDropDown(this);
}

void TDropDownLabel::DropUp(bool accept)
{
    // Hiding a focused editor takes its focus away, which would close the
    // label a second time from inside the first closing.
    if (FClosing)
        return;
    FClosing = true;
    try {
        DoBeforeDropUp(accept);
        if (accept)
            AcceptInput();
        HideControl();
    } catch (...) {
        FClosing = false;
        throw;
    }
    FClosing = false;
    if (parentWidget())
        parentWidget()->update();
    FDropped = false;
    DoAfterDropUp(accept);
}

void TDropDownLabel::ShowControl()
{
    // A dialog may run here, and the label may go while it is open: the
    // value lives on the stack until the label is known to be there.
    QString value = Value();
    const QPointer<TDropDownLabel> alive(this);
    bool accept = bool(OnCustomDropDown);
    if (accept) {
        OnCustomDropDown(this, value, accept);
    } else if (TFilterRow* row = FWord->Row()) {
        const std::optional<TWordRole> role = row->RoleOf(FWord);
        accept = role && row->QueryPanel()->EditCustomValue(row, *role, value);
    }
    if (!alive)
        return;
    FCustomValue = value;
    DropUp(accept);
}

void TDropDownLabel::AcceptInput()
{
    // An empty answer keeps the old value.
    if (!FCustomValue.isEmpty())
        acceptValue(FCustomValue);
}

void TDropDownLabel::DoBeforeDropUp(bool& accept)
{
    const QPointer<TDropDownLabel> alive(this);
    emit aboutToDropUp(this, accept);
    if (!alive || !BeforeDropUp)
        return;
    QString scratch;
    BeforeDropUp(this, scratch, accept);
}

void TDropDownLabel::DoAfterDropUp(bool accepted)
{
    tell(&TDropDownLabel::droppedUp, AfterDropUp, accepted);
}

void TDropDownLabel::DoRightClick()
{
    tell(&TDropDownLabel::rightClicked, OnRightClick);
}

int TDropDownLabel::DoGetGroupImageIndex(const QString& groupName)
{
    int index = -1;
    if (OnGetGroupImageIndex)
        OnGetGroupImageIndex(groupName, index);
    return index;
}

int TDropDownLabel::DoGetItemImageIndex(const QString& groupName, const QString& itemName)
{
    int index = -1;
    if (OnGetItemImageIndex)
        OnGetItemImageIndex(groupName, itemName, index);
    return index;
}

void TDropDownLabel::Click()
{
    Click(QApplication::keyboardModifiers());
}

void TDropDownLabel::Click(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        AltClick();
    else if (FDropped)
        DropUp(false);
    else
        DropDown();
}

void TDropDownLabel::AltClick()
{
    tell(&TDropDownLabel::altClicked, OnAltClick);
}

QWidget* TDropDownLabel::EditControl()
{
    return nullptr;
}

bool TDropDownLabel::ensureControl()
{
    if (!FControlMade && parentWidget()) {
        CreateControl();
        FControlMade = true;
    }
    return FControlMade;
}

QString TDropDownLabel::shownText() const
{
    // Plain text of a sentence shows nothing when empty; a word to click
    // shows the placeholder.
    return FWord->Editor() == weNone ? FWord->Caption() : Caption();
}

int TDropDownLabel::textWidth(const QString& text) const
{
    return fontMetrics().horizontalAdvance(text);
}

int TDropDownLabel::textHeight(const QString&) const
{
    return fontMetrics().height();
}

void TDropDownLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeading, shownText());
    if (!FFocused)
        return;
    // Navy, unless the palette is dark and navy would not be seen on it.
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    painter.setPen(dark ? palette().color(QPalette::Highlight).lighter(150) : QColor(0, 0, 128));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDropDownLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

// Both buttons act on release: a menu opened from inside the press would run its own event loop
// while Qt still holds this label as the pressed widget, and a host that frees the label from that
// loop would have the release delivered to freed memory.
void TDropDownLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!rect().contains(event->position().toPoint()))
        return;
    if (event->button() == Qt::LeftButton)
        Guarded([this, modifiers = event->modifiers()] { Click(modifiers); });
    else if (event->button() == Qt::RightButton)
        Guarded([this] { DoRightClick(); });
}

void TDropDownLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        resize(sizeHint());
    if (event->type() == QEvent::LayoutDirectionChange)
        Guarded([this] { BiDiModeChanged(); });
}

} // namespace brindle
