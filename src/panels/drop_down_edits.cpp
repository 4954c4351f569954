#include <brindle/panels/drop_down_edits.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/date_time.h>
#include <brindle/panels/event_guard.h>

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaMethod>
#include <QPointer>

namespace brindle {

namespace {

// A thin single-line border without the style's 3-D frame, and no padding,
// so that the editor's size is the text's.
const char* const FlatEditStyle = "border: 1px solid palette(dark); padding: 0px; margin: 0px;";

// The border's pixels on top of the text's height, as an auto-sized edit has.
constexpr int BorderHeight = 2;

} // namespace

void TSilentEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

TDropDownCustomEdit::TDropDownCustomEdit(TWordEditor editor, QWidget* parent) : TDropDownLabel(editor, parent) {}

TDropDownCustomEdit::~TDropDownCustomEdit()
{
    // The editor is a child of the label's parent; it may be in the middle
    // of one of its own events when the label goes.
    if (FEditor)
        FEditor->deleteLater();
}

void TDropDownCustomEdit::SetOption(int option, bool on)
{
    if (option & 1)
        Word().SetAutoUpperCase(on);
    if (option & 2)
        Word().SetAutoLowerCase(on);
}

QWidget* TDropDownCustomEdit::EditControl()
{
    ensureControl();
    return FEditor;
}

QString TDropDownCustomEdit::GetEditText() const
{
    return {};
}

void TDropDownCustomEdit::SetEditText(const QString&) {}

void TDropDownCustomEdit::setEditor(QWidget* editor)
{
    FEditor = editor;
    editor->hide();
    editor->setLayoutDirection(layoutDirection());
    editor->setFont(font());
    editor->installEventFilter(this);
}

TSilentEdit* TDropDownCustomEdit::makeLineEdit()
{
    auto* control = new TSilentEdit(parentWidget());
    control->setStyleSheet(QString::fromLatin1(FlatEditStyle));
    setEditor(control);
    // Sized once the text has changed: a key press is seen before the key
    // reaches the editor, and pasting or taking back changes it too.
    connect(control, &QLineEdit::textChanged, this, [this] {
        Guarded([this] {
            if (editorShown()) {
                AdjustSizes();
                AdjustPosition();
            }
        });
    });
    return control;
}

void TDropDownCustomEdit::ShowControl()
{
    // Without a parent there is nowhere to show an editor.
    if (!ensureControl()) {
        DropUp(false);
        return;
    }
    hideForEditor(true);
    ShowEditControl();
    AdjustSizes();
    AdjustPosition();
    FEditor->raise();
    FEditor->setFocus(Qt::OtherFocusReason);
}

void TDropDownCustomEdit::HideControl()
{
    if (FEditor)
        FEditor->hide();
    hideForEditor(false);
}

bool TDropDownCustomEdit::IsEditMode() const
{
    return editorShown();
}

void TDropDownCustomEdit::BiDiModeChanged()
{
    if (FEditor)
        FEditor->setLayoutDirection(layoutDirection());
}

void TDropDownCustomEdit::EditExit()
{
    if (Dropped())
        DropUp(true);
}

void TDropDownCustomEdit::EditDblClick()
{
    if (!OnEditDblClick && !isSignalConnected(QMetaMethod::fromSignal(&TDropDownCustomEdit::editDoubleClicked)))
        return;
    const QPointer<TDropDownCustomEdit> alive(this);
    QString text = GetEditText();
    emit editDoubleClicked(this, text);
    if (alive && OnEditDblClick)
        OnEditDblClick(this, text);
    if (alive)
        SetEditText(text);
}

bool TDropDownCustomEdit::keyAllowed(QChar key) const
{
    if (ValueType() == vtString)
        return true;
    if (key.isDigit() && key.unicode() < 128)
        return true;
    if (key == u'"' || key == u',' || key == u'-')
        return true;
    return ValueType() == vtFloat && key == GetCurrentFormats().DecimalSeparator;
}

bool TDropDownCustomEdit::EditKeyPress(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        DropUp(true);
        return true;
    case Qt::Key_Escape:
        DropUp(false);
        return true;
    default:
        break;
    }
    // A shortcut passes even where the platform gives it its letter as text
    // (Cmd+Z on a Mac); Ctrl with Alt is AltGr typing.
    const Qt::KeyboardModifiers held = event->modifiers();
    if (held & (Qt::ControlModifier | Qt::MetaModifier) && !(held & Qt::AltModifier))
        return false;
    const QString text = event->text();
    // Control keys (Backspace, Ctrl+C) pass; printable ones are filtered.
    return !text.isEmpty() && text[0].isPrint() && !keyAllowed(text[0]);
}

bool TDropDownCustomEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FEditor)
        return false;
    bool usedUp = false;
    switch (event->type()) {
    case QEvent::KeyPress:
        // A closing key is used up even when closing fails (a mask that
        // is not satisfied keeps the editor open).
        Guarded([&] { usedUp = EditKeyPress(static_cast<QKeyEvent*>(event)); });
        if (!usedUp) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            usedUp = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
        }
        return usedUp;
    case QEvent::FocusOut:
        // A popup of the editor's own (a calendar, a context menu) keeps it open.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            Guarded([this] { EditExit(); });
        return false;
    case QEvent::MouseButtonDblClick:
        Guarded([this] { EditDblClick(); });
        return false;
    default:
        return false;
    }
}

void TDropDownCustomEdit::AdjustSizes()
{
    FEditor->resize(textWidth(GetEditText() + u'W') + 6, textHeight(QStringLiteral("W")) + BorderHeight);
}

void TDropDownCustomEdit::AdjustPosition()
{
    int left = x();
    if (IsRightToLeft())
        left = x() + width() - FEditor->width();
    FEditor->move(left, y());
}

// ---- TDropDownEdit

void TDropDownEdit::SetMaxLength(int length)
{
    Word().MaxLength = length;
    if (lineEdit())
        lineEdit()->setMaxLength(length > 0 ? length : 32767);
}

void TDropDownEdit::CreateControl()
{
    makeLineEdit();
    SetMaxLength(MaxLength());
}

QString TDropDownEdit::GetEditText() const
{
    return lineEdit() ? lineEdit()->text() : QString();
}

void TDropDownEdit::SetEditText(const QString& text)
{
    if (lineEdit())
        lineEdit()->setText(text);
}

void TDropDownEdit::ShowEditControl()
{
    lineEdit()->setText(Value());
    lineEdit()->show();
}

void TDropDownEdit::AcceptInput()
{
    if (editorShown())
        acceptValue(lineEdit()->text());
}

// ---- TDropDownMaskEdit

void TDropDownMaskEdit::CreateControl()
{
    makeLineEdit();
}

QString TDropDownMaskEdit::GetEditText() const
{
    return lineEdit() ? lineEdit()->displayText() : QString();
}

void TDropDownMaskEdit::SetEditText(const QString& text)
{
    if (lineEdit())
        lineEdit()->setText(text);
}

QString TDropDownMaskEdit::RawText() const
{
    if (!lineEdit())
        return {};
    // The shown text has one character per place of the mask, literals and
    // blanks included; the raw text keeps what was typed into the places.
    const QString shown = lineEdit()->displayText();
    const QString mask = EditMask().section(u';', 0, 0);
    const int semicolon = EditMask().indexOf(u';');
    const QChar blank = semicolon >= 0 && semicolon + 1 < EditMask().size() ? EditMask()[semicolon + 1] : QChar(u' ');
    static const QString places = QStringLiteral("AaNnXx90Dd#HhBb");
    QString raw;
    int at = 0;
    for (int i = 0; i < mask.size() && at < shown.size(); ++i) {
        const QChar m = mask[i];
        if (m == u'>' || m == u'<' || m == u'!' || m == u'[' || m == u']' || m == u'{' || m == u'}')
            continue;
        if (m == u'\\') {
            ++i;
            ++at;
            continue;
        }
        if (places.contains(m) && shown[at] != blank)
            raw += shown[at];
        ++at;
    }
    return raw;
}

void TDropDownMaskEdit::ShowEditControl()
{
    lineEdit()->setInputMask(EditMask());
    if (Caption() != EmptyWordCaption) {
        if (!UseFormattedValue()) {
            lineEdit()->setText(Value());
            lineEdit()->setText(Caption());
        } else {
            lineEdit()->setText(Value());
        }
    } else {
        lineEdit()->clear();
    }
    lineEdit()->show();
}

void TDropDownMaskEdit::AcceptInput()
{
    if (!lineEdit())
        return;
    if (!lineEdit()->hasAcceptableInput())
        throw EMaskEditError(QCoreApplication::translate("brindle::TDropDownMaskEdit",
                                                         "Invalid input value. Use escape key to abandon changes"));
    if (!editorShown())
        return;
    const QString formatted = lineEdit()->text();
    const QPointer<TDropDownMaskEdit> alive(this);
    acceptValue(UseFormattedValue() ? formatted : RawText());
    if (alive)
        setEditorCaption(formatted);
}

// ---- TDropDownDateTimeEdit

QDateTimeEdit* TDropDownDateTimeEdit::picker() const
{
    return static_cast<QDateTimeEdit*>(editor());
}

void TDropDownDateTimeEdit::SetKind(TDateTimeEditKind kind)
{
    Word().DateKind = kind;
    if (picker())
        UpdateKind();
}

void TDropDownDateTimeEdit::CreateControl()
{
    auto* control = new QDateTimeEdit(parentWidget());
    setEditor(control);
    UpdateKind();
}

void TDropDownDateTimeEdit::UpdateKind()
{
    const QLocale locale;
    if (Kind() == ekDate) {
        picker()->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat));
        picker()->setCalendarPopup(true);
    } else {
        picker()->setDisplayFormat(locale.timeFormat(QLocale::LongFormat).remove(QStringLiteral(" t")));
        picker()->setCalendarPopup(false);
    }
}

QString TDropDownDateTimeEdit::GetEditText() const
{
    // The form SetEditText and the word's value take, not the picker's
    // display: a handler given the text may hand it back.
    return picker() ? BrDateTimeToStr(pickedDateTime()) : QString();
}

TDateTime TDropDownDateTimeEdit::pickedDateTime() const
{
    return Kind() == ekDate ? FromQDate(picker()->date())
                            : FromQDateTime(QDateTime(QDate(1899, 12, 30), picker()->time()));
}

void TDropDownDateTimeEdit::SetEditText(const QString& text)
{
    if (picker())
        picker()->setDateTime(ToQDateTime(BrStrToDateTime(text)));
}

void TDropDownDateTimeEdit::ShowEditControl()
{
    if (Value().isEmpty())
        picker()->setDateTime(QDateTime::currentDateTime());
    else
        picker()->setDateTime(ToQDateTime(BrStrToDateTime(Value())));
    picker()->show();
}

void TDropDownDateTimeEdit::AcceptInput()
{
    if (!picker())
        return;
    const QString text = BrDateTimeToStr(pickedDateTime());
    if (text == Value())
        return;
    const QLocale locale;
    const QString caption = Kind() == ekDate ? locale.toString(picker()->date(), QLocale::ShortFormat)
                                             : locale.toString(picker()->time(), QLocale::ShortFormat);
    const QPointer<TDropDownDateTimeEdit> alive(this);
    acceptValue(text);
    if (alive)
        setEditorCaption(caption);
}

void TDropDownDateTimeEdit::AdjustSizes()
{
    picker()->resize(10 * textWidth(QStringLiteral("0")) + 20, picker()->sizeHint().height());
}

void TDropDownDateTimeEdit::AdjustPosition()
{
    TDropDownCustomEdit::AdjustPosition();
    // Centred on the label's line.
    picker()->move(picker()->x(), y() - (picker()->height() - height()) / 2);
}

} // namespace brindle
