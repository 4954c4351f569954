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

TQPAppearanceOptions TQPAppearance::Options() const
{
    return query() ? query()->AppearanceOptions() : FOptions;
}

void TQPAppearance::SetOptions(TQPAppearanceOptions options)
{
    if (options == Options())
        return;
    if (query())
        query()->SetAppearanceOptions(options);
    else
        FOptions = options;
    changed();
}

TFilterLinkTypes TQPAppearance::LinkTypes() const
{
    return query() ? query()->LinkTypes() : FLinkTypes;
}

void TQPAppearance::SetLinkTypes(TFilterLinkTypes types)
{
    if (types == LinkTypes())
        return;
    if (query())
        query()->SetLinkTypes(types);
    else
        FLinkTypes = types;
    changed();
}

QString TQPAppearance::NameSeparator() const
{
    return query() ? query()->NameSeparator() : FNameSeparator;
}

void TQPAppearance::SetNameSeparator(const QString& separator)
{
    if (separator == NameSeparator())
        return;
    if (query())
        query()->SetNameSeparator(separator);
    else
        FNameSeparator = separator;
    changed();
}

TLogicalOperatorStyle TQPAppearance::LogOpStyle() const
{
    return query() ? query()->LogOpStyle() : FLogOpStyle;
}

void TQPAppearance::SetLogOpStyle(TLogicalOperatorStyle style)
{
    if (style == LogOpStyle())
        return;
    if (query())
        query()->SetLogOpStyle(style);
    else
        FLogOpStyle = style;
    changed();
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
