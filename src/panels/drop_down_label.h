#pragma once
// TDropDownLabel: one clickable word of a sentence. It shows a caption for
// the value it stands for; a click opens an editor over or below it, and
// closing the editor either accepts the input (the value changes) or
// cancels it. The base class is a custom drop-down: the host's
// OnCustomDropDown handler shows any dialog and returns a new value.
//
// The label's value, caption, items, editor settings and fixed, enabled,
// visible and hint state are a TQueryWord's: a label made on its own owns
// one, a label bound to a word of a query shows that word and follows its
// changes. The label itself keeps only what is on screen (dropped,
// focused, the editor widget).
//
// Events fire in a fixed order: BeforeDropDown, the editor is shown,
// AfterDropDown (only while still dropped), and on closing BeforeDropUp,
// the input is applied when accepted, the editor is hidden, AfterDropUp.
// Each event has a signal beside it, emitted just before it: the library
// listens to the signals, any number of listeners each, and leaves the
// events to the host.
//
// A label bound to a word of a query's row applies an accepted input the
// way a click on that word means (a field, an operator, a value) through
// the query, and asks the query for a custom value, so a panel's label
// works whatever the host does with its events.

#include <brindle/brindle_widgets_export.h>

#include <brindle/query/words.h>

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace brindle {

class TDropDownLabel;

using TNotifyEvent = std::function<void(TDropDownLabel* sender)>;
using TChangeValueEvent = std::function<void(TDropDownLabel* sender, QString& value)>;
using TBeforeDropUpEvent = std::function<void(TDropDownLabel* sender, QString& value, bool& accept)>;
using TAfterDropUpEvent = std::function<void(TDropDownLabel* sender, bool accepted)>;
using TAltClickEvent = std::function<void(TDropDownLabel* sender)>;
using TGetGroupImageIndexEvent = std::function<void(const QString& groupName, int& imageIndex)>;
using TGetItemImageIndexEvent =
    std::function<void(const QString& groupName, const QString& itemName, int& imageIndex)>;

// The pictures a popup shows next to its entries; not owned by a label.
using TImageList = QList<QIcon>;

class BRINDLE_WIDGETS_EXPORT TDropDownLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Value READ Value WRITE SetValue)
    Q_PROPERTY(bool Fixed READ Fixed WRITE SetFixed)
    // The word's state, which the widget's enabled state and tool tip follow.
    Q_PROPERTY(bool Enabled READ wordEnabled WRITE setWordEnabled)
    Q_PROPERTY(QString Hint READ wordHint WRITE setWordHint)
public:
    explicit TDropDownLabel(QWidget* parent = nullptr);
    ~TDropDownLabel() override;
    // The editor kind of the label's own word.
    TDropDownLabel(TWordEditor editor, QWidget* parent);

    // The word shown: the label's own, or the one bound with BindWord.
    TQueryWord& Word() const { return *FWord; }
    // Shows another word, which must outlive the binding; none returns to
    // the label's own. Several labels may show one word.
    void BindWord(TQueryWord* word);
    // The bound word is already gone (its row replaced it): the label shows
    // its own word again without touching the old one.
    void ForgetWord();
    // A panel hides the words of a row it does not show, whatever the
    // words say.
    void SetOwnerShown(bool shown);

    const QString& Value() const { return FWord->Value(); }
    // A different value is stored; the word applies it (a list finds the
    // item, an edit converts letter case) and the caption follows.
    void SetValue(const QString& value);
    // Shown with ampersands as they are; empty shows "_____".
    QString Caption() const { return FWord->ShownCaption(); }
    void SetCaption(const QString& caption);
    // After an accepted input was applied: the word of a query's row
    // through its query, any other word by taking the value.
    std::function<void(TDropDownLabel* sender, const QString& value)> OnAcceptValue;
    // A label of choices that stands for no value (the fields of a panel's
    // add-row line): an accepted input is only announced, and the label's
    // own word keeps its caption.
    bool ChoiceOnly() const { return FChoiceOnly; }
    void SetChoiceOnly(bool on) { FChoiceOnly = on; }

    void DropDown();
    void DropUp(bool accept);
    bool EditMode() const { return IsEditMode(); }
    void SetEditMode(bool on);
    void CloseEdit(bool accept);

    bool Focused() const { return FFocused; }
    void SetFocused(bool focused);
    bool Fixed() const { return FWord->Fixed(); }
    void SetFixed(bool fixed) { FWord->SetFixed(fixed); }
    bool Dropped() const { return FDropped; }
    const TImageList* Images() const { return FImages; }
    void SetImages(const TImageList* images) { FImages = images; }
    Qt::LayoutDirection BiDiMode() const { return layoutDirection(); }
    void SetBiDiMode(Qt::LayoutDirection mode);
    bool IsRightToLeft() const { return layoutDirection() == Qt::RightToLeft; }

    // What a left click does: Ctrl+click is an alternative click only;
    // otherwise an open editor closes without accepting and a closed one opens.
    void Click();
    void Click(Qt::KeyboardModifiers modifiers);
    void AltClick();

    // The editor widget, made on first use; none for the base label.
    virtual QWidget* EditControl();

    QSize sizeHint() const override;

    TNotifyEvent BeforeDropDown;
    TNotifyEvent AfterDropDown;
    TBeforeDropUpEvent BeforeDropUp;
    TAfterDropUpEvent AfterDropUp;
    TBeforeDropUpEvent OnCustomDropDown;
    TAltClickEvent OnAltClick;
    TNotifyEvent OnRightClick;
    TGetGroupImageIndexEvent OnGetGroupImageIndex;
    TGetItemImageIndexEvent OnGetItemImageIndex;

signals:
    void aboutToDropDown(brindle::TDropDownLabel* sender);
    void droppedDown(brindle::TDropDownLabel* sender);
    void aboutToDropUp(brindle::TDropDownLabel* sender, bool& accept);
    void droppedUp(brindle::TDropDownLabel* sender, bool accepted);
    void valueAccepted(brindle::TDropDownLabel* sender, const QString& value);
    void altClicked(brindle::TDropDownLabel* sender);
    void rightClicked(brindle::TDropDownLabel* sender);

protected:
    // Editors are made when first needed rather than when the label gets
    // its parent: a panel of a thousand rows makes ten thousand labels.
    virtual void CreateControl() {}
    virtual void ShowControl();
    virtual void HideControl() {}
    virtual void AcceptInput();
    // After the word changed: the label shows its caption and state.
    virtual void WordChanged();
    virtual bool IsEditMode() const { return FDropped; }
    virtual void BiDiModeChanged() {}

    virtual void DoBeforeDropUp(bool& accept);
    virtual void DoAfterDropUp(bool accepted);
    virtual void DoRightClick();
    int DoGetGroupImageIndex(const QString& groupName);
    int DoGetItemImageIndex(const QString& groupName, const QString& itemName);

    // Makes the editor once; true when one exists afterwards.
    bool ensureControl();
    // An in-place editor takes the label's place while it is open.
    void hideForEditor(bool hidden)
    {
        FHiddenForEditor = hidden;
        applyVisibility();
    }
    // An accepted input: applied (through the row's query for a row's
    // word), then announced.
    void acceptValue(const QString& value);
    // Announces an input that was applied.
    void valueApplied(const QString& value);
    // Emits the signal, then calls the host's event unless a listener freed
    // the label; false when the label is gone.
    template <typename... Signal, typename Event, typename... Args>
    bool tell(void (TDropDownLabel::*signal)(TDropDownLabel*, Signal...), const Event& event, Args&&... args)
    {
        const QPointer<TDropDownLabel> alive(this);
        emit(this->*signal)(this, args...);
        if (alive && event)
            event(this, args...);
        return !alive.isNull();
    }
    // The caption an editor gives its input. A row's word has its caption
    // from the query, which an editor never overwrites; a word of the
    // label's own takes it.
    void setEditorCaption(const QString& caption);
    // The text drawn: the caption, or nothing for an empty plain text.
    QString shownText() const;
    // Text measures in the label's font.
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

    QString FCustomValue;

private:
    bool wordEnabled() const { return FWord->Enabled(); }
    void setWordEnabled(bool enabled) { FWord->SetEnabled(enabled); }
    QString wordHint() const { return FWord->Hint(); }
    void setWordHint(const QString& hint) { FWord->SetHint(hint); }
    void applyVisibility();
    void follow(TQueryWord* word);

    std::unique_ptr<TQueryWord> FOwnWord;
    TQueryWord* FWord;
    QMetaObject::Connection FFollowing;
    bool FFocused = false;
    bool FDropped = false;
    bool FClosing = false;
    bool FHiddenForEditor = false;
    bool FChoiceOnly = false;
    bool FOwnerShown = true;
    QString FShownCaption;
    bool FControlMade = false;
    const TImageList* FImages = nullptr;
};

} // namespace brindle
