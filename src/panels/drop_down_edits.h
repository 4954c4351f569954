#pragma once
// The in-place editors: a text edit, a masked edit and a date or time
// picker shown over the label. Enter or leaving the editor accepts, Escape
// cancels; keys a value type does not allow are refused.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/errors.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/query/words.h>

#include <QLineEdit>
#include <QPointer>

class QDateTimeEdit;

namespace brindle {

// A masked text that does not satisfy its mask.
class BRINDLE_WIDGETS_EXPORT EMaskEditError : public Exception {
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EMaskEditError"); }
};

// A single-line edit that keeps Enter to itself, so that no default button
// of the window reacts to it.
class BRINDLE_WIDGETS_EXPORT TSilentEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class BRINDLE_WIDGETS_EXPORT TDropDownCustomEdit : public TDropDownLabel {
    Q_OBJECT
public:
    TDropDownCustomEdit(TWordEditor editor, QWidget* parent);
    ~TDropDownCustomEdit() override;

    TValueType ValueType() const { return Word().ValueType; }
    void SetValueType(TValueType type) { Word().ValueType = type; }
    // Bit 1 upper case, bit 2 lower case, set independently; upper case
    // wins while both are on.
    bool GetOption(int option) const { return (Word().Options() & option) == option; }
    void SetOption(int option, bool on);
    bool AutoUpperCase() const { return GetOption(1); }
    void SetAutoUpperCase(bool on) { SetOption(1, on); }
    bool AutoLowerCase() const { return GetOption(2); }
    void SetAutoLowerCase(bool on) { SetOption(2, on); }

    QWidget* EditControl() override;
    virtual QString GetEditText() const;
    virtual void SetEditText(const QString& text);

    TChangeValueEvent OnEditDblClick;

signals:
    // A double click inside the open editor; what a listener leaves in the
    // text goes back into the editor. Emitted before OnEditDblClick.
    void editDoubleClicked(brindle::TDropDownLabel* sender, QString& text);

protected:
    void ShowControl() override;
    void HideControl() override;
    bool IsEditMode() const override;
    void BiDiModeChanged() override;

    virtual void EditExit();
    virtual void EditDblClick();
    // True when the key was used up (closing keys and refused keys).
    virtual bool EditKeyPress(QKeyEvent* event);
    virtual void AdjustSizes();
    virtual void AdjustPosition();
    virtual void ShowEditControl() = 0;

    // The editor made by CreateControl; every editor class sets it.
    void setEditor(QWidget* editor);
    // The flat single-line edit of the text and masked editors.
    TSilentEdit* makeLineEdit();
    TSilentEdit* lineEdit() const { return static_cast<TSilentEdit*>(editor()); }
    QWidget* editor() const { return FEditor; }
    bool editorShown() const { return FEditor && !FEditor->isHidden(); }
    bool keyAllowed(QChar key) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> FEditor;
};

class BRINDLE_WIDGETS_EXPORT TDropDownEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    explicit TDropDownEdit(QWidget* parent = nullptr) : TDropDownCustomEdit(weEdit, parent) {}
    int MaxLength() const { return Word().MaxLength; }
    // 0 is unlimited.
    void SetMaxLength(int length);
    QString GetEditText() const override;
    void SetEditText(const QString& text) override;

protected:
    void CreateControl() override;
    void ShowEditControl() override;
    void AcceptInput() override;

};

// The mask is Qt's input mask ("99/99/9999;_"). The raw text is what was
// typed into the mask's places; the formatted text has the mask's literals.
class BRINDLE_WIDGETS_EXPORT TDropDownMaskEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    explicit TDropDownMaskEdit(QWidget* parent = nullptr) : TDropDownCustomEdit(weMaskEdit, parent) {}
    const QString& EditMask() const { return Word().EditMask; }
    void SetEditMask(const QString& mask) { Word().EditMask = mask; }
    bool UseFormattedValue() const { return Word().UseFormattedValue; }
    void SetUseFormattedValue(bool on) { Word().UseFormattedValue = on; }
    QString GetEditText() const override;
    void SetEditText(const QString& text) override;
    // The text typed into the mask's places, without literals or blanks.
    QString RawText() const;

protected:
    void CreateControl() override;
    void ShowEditControl() override;
    void AcceptInput() override;

};

class BRINDLE_WIDGETS_EXPORT TDropDownDateTimeEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    explicit TDropDownDateTimeEdit(QWidget* parent = nullptr) : TDropDownCustomEdit(weDateTime, parent) {}
    TDateTimeEditKind Kind() const { return Word().DateKind; }
    void SetKind(TDateTimeEditKind kind);
    QString GetEditText() const override;
    void SetEditText(const QString& text) override;

protected:
    void CreateControl() override;
    void ShowEditControl() override;
    void AcceptInput() override;
    void AdjustSizes() override;
    void AdjustPosition() override;

private:
    QDateTimeEdit* picker() const;
    // The date or time the picker shows, as a day number.
    TDateTime pickedDateTime() const;
    void UpdateKind();
};

} // namespace brindle
