#include <brindle/panels/appearance.h>

#include <brindle/panels/query_panel.h>

#include <QApplication>
#include <QPalette>

namespace brindle {

TQPAppearance::TQPAppearance(TVxQueryPanel* panel)
    : FQueryPanel(panel), FActiveRowColor(QApplication::palette().color(QPalette::Light))
{
}

TVxQuery* TQPAppearance::query() const
{
    return FQueryPanel ? &FQueryPanel->Query() : nullptr;
}

void TQPAppearance::changed()
{
    if (!FUpdating && FQueryPanel)
        FQueryPanel->RefreshPanel();
}

void TQPAppearance::EndUpdate()
{
    FUpdating = false;
    changed();
}

// The settings that shape the tree are the query's on a panel and the
// appearance's own otherwise.
template <typename Get, typename T>
T TQPAppearance::shared(Get get, const T& own) const
{
    return query() ? T((query()->*get)()) : own;
}

template <typename Get, typename Set, typename T>
void TQPAppearance::setShared(Get get, Set set, T& own, const T& value)
{
    if (value == shared(get, own))
        return;
    if (query())
        (query()->*set)(value);
    else
        own = value;
    changed();
}

// Of the options, those the tree consults are the query's on a panel; the
// others (buttons, check boxes, keyboard, the add line) stay here.
TQPAppearanceOptions TQPAppearance::Options() const
{
    if (!query())
        return FOptions;
    return query()->AppearanceOptions() * TreeAppearanceOptions() + (FOptions - TreeAppearanceOptions());
}

void TQPAppearance::SetOptions(TQPAppearanceOptions options)
{
    if (options == Options())
        return;
    FOptions = options;
    if (query())
        query()->SetAppearanceOptions(options);
    changed();
}

TFilterLinkTypes TQPAppearance::LinkTypes() const
{
    return shared(&TVxQuery::LinkTypes, FLinkTypes);
}

void TQPAppearance::SetLinkTypes(TFilterLinkTypes types)
{
    setShared(&TVxQuery::LinkTypes, &TVxQuery::SetLinkTypes, FLinkTypes, types);
}

QString TQPAppearance::NameSeparator() const
{
    return shared(&TVxQuery::NameSeparator, FNameSeparator);
}

void TQPAppearance::SetNameSeparator(const QString& separator)
{
    setShared(&TVxQuery::NameSeparator, &TVxQuery::SetNameSeparator, FNameSeparator, separator);
}

TLogicalOperatorStyle TQPAppearance::LogOpStyle() const
{
    return shared(&TVxQuery::LogOpStyle, FLogOpStyle);
}

void TQPAppearance::SetLogOpStyle(TLogicalOperatorStyle style)
{
    setShared(&TVxQuery::LogOpStyle, &TVxQuery::SetLogOpStyle, FLogOpStyle, style);
}

void TQPAppearance::SetStyle(TQPStyle style)
{
    if (style == psGroups)
        SetLogOpStyle(losHidden);
    else if (LogOpStyle() == losHidden)
        SetLogOpStyle(losAfterCond);
}

void TQPAppearance::Assign(const TQPAppearance& source)
{
    BeginUpdate();
    SetActiveRowColor(source.ActiveRowColor());
    SetControlBorderColor(source.ControlBorderColor());
    SetFieldColor(source.FieldColor());
    SetOperatorColor(source.OperatorColor());
    SetValueColor(source.ValueColor());
    SetBoolOpColor(source.BoolOpColor());
    SetOptions(source.Options());
    SetLogOpStyle(source.LogOpStyle());
    EndUpdate();
}

} // namespace brindle
