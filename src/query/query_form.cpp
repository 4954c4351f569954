// The query inside a form: its settings are published properties, its
// result fields travel as the defined property "RFields", and older forms
// may hold the former option set "Options". What the form holds is applied
// in Loaded, once the data model is known.

#include <brindle/query/query.h>
#include <brindle/query/query_titles_p.h>

#include <brindle/datamodel/form_classes.h>

namespace brindle {

namespace {

const QString kHintNames[] = {QStringLiteral("sqhNone"), QStringLiteral("sqhText"), QStringLiteral("sqhSQL")};

// The former options that became appearance or statement options.
constexpr std::pair<QLatin1StringView, TQPAppearanceOption> kOldAppearance[] = {
    {QLatin1StringView("poFlatButtons"), aoFlatButtons},     {QLatin1StringView("poRoundButtons"), aoRoundButtons},
    {QLatin1StringView("poNonEmptyBrackets"), aoNonEmptyBrackets}, {QLatin1StringView("poPopupField"), aoPopupField},
    {QLatin1StringView("poPopupValue"), aoPopupValue},       {QLatin1StringView("poShowGroupName"), aoShowGroupName},
    {QLatin1StringView("poAllowKeyboard"), aoAllowKeyboard}, {QLatin1StringView("poSortListData"), aoSortListData},
    {QLatin1StringView("poShowAddRow"), aoShowAddRow},       {QLatin1StringView("poShowCheckBoxes"), aoShowCheckBoxes},
};
constexpr std::pair<QLatin1StringView, TSQLOption> kOldStatement[] = {
    {QLatin1StringView("poAsciiRFields"), soASCIIRFields},   {QLatin1StringView("poSelectDistinct"), soSelectDistinct},
    {QLatin1StringView("poQuoteAliases"), soQuoteAliases},   {QLatin1StringView("poBracketJoins"), soBracketJoins},
    {QLatin1StringView("poBracketConditions"), soBracketConditions},
};

bool sameName(const QString& name, QLatin1StringView option)
{
    return name.compare(option, Qt::CaseInsensitive) == 0;
}

} // namespace

void RegisterQueryFormClasses()
{
    RegisterCoreFormClasses();
    TFormClasses::Register<TVxQuery>(QStringLiteral("TVxQuery"));
}

void TVxQuery::DefineProperties(TFormFiler& filer)
{
    filer.DefineProperty(
        QStringLiteral("RFields"), [this](const TStringList& lines) { FRFieldsBuf.Assign(lines); },
        [this](TStringList& lines) {
            const TRFieldList& fields = FQResult->ResultFields();
            if (!fields.IsEmpty()) {
                fields.SaveToStrings(lines);
                return;
            }
            // A list without fields is stored as not sorting only.
            for (const QString& line : {QStringLiteral("[RFields]"), QStringLiteral("Count=0"),
                                        QStringLiteral("Version=3.6"), QStringLiteral("JustSorting=0"), QString()})
                lines.Add(line);
        },
        true);
    filer.DefineSetProperty(QStringLiteral("Options"), [this](const QStringList& names) { readOldOptions(names); });
}

void TVxQuery::BeginLoading()
{
    // Properties arrive one by one: nothing is reported until Loaded.
    FState = stLoading;
}

void TVxQuery::Loaded()
{
    FState = stIdle;
    if (FDbStruct)
        FDbStruct->LoadStoredStructure();
    FQResult->DbStructChanged();
    if (!FRFieldsBuf.IsEmpty()) {
        TStringList block;
        block.Assign(FRFieldsBuf);
        FRFieldsBuf.Clear();
        FQResult->ResultFields().LoadFromStrings(block);
    }
    RefreshMainTable();
    SQLOptionsChanged();

    FTitles->Settle();
    // The root row was made before the stored titles were merged.
    if (FFilter->GetRowCount() == 0)
        RecreateRootBracket();
    FModified = false;
}

void TVxQuery::readOldOptions(const QStringList& names)
{
    bool newJoins = false;
    bool oracleJoins = false;
    for (const QString& raw : names) {
        const QString name = raw.trimmed();
        for (const auto& [option, appearance] : kOldAppearance)
            if (sameName(name, option))
                SetAppearanceOptions(FAppearanceOptions + TQPAppearanceOptions{appearance});
        for (const auto& [option, statement] : kOldStatement)
            if (sameName(name, option))
                FSQLOptions.Include(statement);
        newJoins = newJoins || sameName(name, QLatin1StringView("poNewJoinsStyle"));
        oracleJoins = oracleJoins || sameName(name, QLatin1StringView("poOracleJoins"));
    }
    FSQLSyntax = oracleJoins ? ssOracle : newJoins ? ssSQL2 : ssSQL1;
    SQLOptionsChanged();
}

QString TVxQuery::sqlSyntaxName() const { return SQLSyntaxToStr(FSQLSyntax); }

void TVxQuery::setSQLSyntaxName(const QString& name)
{
    const int syntax = StrToSQLSyntax(name.trimmed());
    if (syntax >= 0)
        SetSQLSyntax(static_cast<TSQLSyntax>(syntax));
}

QStringList TVxQuery::sqlOptionNames() const
{
    QStringList names;
    for (int option = soASCIIRFields; option <= soFilter; ++option)
        if (FSQLOptions.Contains(static_cast<TSQLOption>(option)))
            names.append(SQLOptionToStr(static_cast<TSQLOption>(option)));
    return names;
}

void TVxQuery::setSQLOptionNames(const QStringList& names)
{
    TSQLOptions options;
    for (const QString& name : names) {
        const int option = StrToSQLOption(name.trimmed());
        if (option >= 0)
            options.Include(static_cast<TSQLOption>(option));
    }
    SetSQLOptions(options);
}

QString TVxQuery::subQueryHintName() const { return kHintNames[FSubQueryHint]; }

void TVxQuery::setSubQueryHintName(const QString& name)
{
    for (int hint = sqhNone; hint <= sqhSQL; ++hint)
        if (name.trimmed().compare(kHintNames[hint], Qt::CaseInsensitive) == 0)
            FSubQueryHint = static_cast<TSubQueryHint>(hint);
}

} // namespace brindle
