#pragma once
// TQPAppearance: the colours and options of a query panel. The options
// that shape the query's tree (TreeAppearanceOptions), the link types,
// name separator and logical operator style are on a panel its query's;
// the options of buttons, check boxes, keyboard and add line are the
// panel's own, and an appearance of no panel (the one sub-query panels
// take over) keeps all of them. Every change that differs rebuilds the
// panel, unless an update is in progress.

#include <brindle/brindle_widgets_export.h>
#include <brindle/query/query.h>

#include <QColor>

namespace brindle {

class TVxQueryPanel;

// The older switch between the hidden and the shown logical operator words.
enum TQPStyle { psGroups, psAndOr };

class BRINDLE_WIDGETS_EXPORT TQPAppearance {
public:
    explicit TQPAppearance(TVxQueryPanel* panel = nullptr);

    const QColor& ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(const QColor& color) { set(FActiveRowColor, color); }
    const QColor& ControlBorderColor() const { return FControlBorderColor; }
    void SetControlBorderColor(const QColor& color) { set(FControlBorderColor, color); }
    // Invalid: the buttons keep their own colour.
    const QColor& ButtonColor() const { return FButtonColor; }
    void SetButtonColor(const QColor& color) { set(FButtonColor, color); }
    const QColor& AddRowColor() const { return FAddRowColor; }
    void SetAddRowColor(const QColor& color) { set(FAddRowColor, color); }
    const QColor& FieldColor() const { return FFieldColor; }
    void SetFieldColor(const QColor& color) { set(FFieldColor, color); }
    const QColor& OperatorColor() const { return FOperatorColor; }
    void SetOperatorColor(const QColor& color) { set(FOperatorColor, color); }
    const QColor& ValueColor() const { return FValueColor; }
    void SetValueColor(const QColor& color) { set(FValueColor, color); }
    const QColor& BoolOpColor() const { return FBoolOpColor; }
    void SetBoolOpColor(const QColor& color) { set(FBoolOpColor, color); }

    TQPAppearanceOptions Options() const;
    void SetOptions(TQPAppearanceOptions options);
    TFilterLinkTypes LinkTypes() const;
    void SetLinkTypes(TFilterLinkTypes types);
    const QString& MainBtnCaption() const { return FMainBtnCaption; }
    void SetMainBtnCaption(const QString& caption) { set(FMainBtnCaption, caption); }
    QString NameSeparator() const;
    void SetNameSeparator(const QString& separator);
    TLogicalOperatorStyle LogOpStyle() const;
    void SetLogOpStyle(TLogicalOperatorStyle style);
    // psAndOr whenever the logical operator words show.
    TQPStyle Style() const { return LogOpStyle() == losHidden ? psGroups : psAndOr; }
    void SetStyle(TQPStyle style);

    bool Updating() const { return FUpdating; }
    void BeginUpdate() { FUpdating = true; }
    // Ends the update and rebuilds the panel once.
    void EndUpdate();
    // Copies the colours of the rows and words, the options and the logical
    // operator style, in one update.
    void Assign(const TQPAppearance& source);

private:
    template <typename T>
    void set(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        changed();
    }
    void changed();
    TVxQuery* query() const;
    template <typename Get, typename T>
    T shared(Get get, const T& own) const;
    template <typename Get, typename Set, typename T>
    void setShared(Get get, Set set, T& own, const T& value);

    TVxQueryPanel* FQueryPanel;
    bool FUpdating = false;
    QColor FActiveRowColor;
    QColor FControlBorderColor = Qt::black;
    QColor FButtonColor;
    QColor FAddRowColor = Qt::blue;
    QColor FFieldColor = Qt::blue;
    QColor FOperatorColor = Qt::blue;
    QColor FValueColor = Qt::blue;
    QColor FBoolOpColor = Qt::blue;
    // On a panel only the options the tree does not consult count.
    TQPAppearanceOptions FOptions = DefaultAppearanceOptions();
    TFilterLinkTypes FLinkTypes = {fltAll, fltAny, fltNone, fltNotAll};
    QString FMainBtnCaption;
    QString FNameSeparator = QStringLiteral(".");
    TLogicalOperatorStyle FLogOpStyle = losHidden;
};

} // namespace brindle
