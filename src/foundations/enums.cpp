#include <brindle/foundations/enums.h>

#include <iterator>

namespace brindle {
namespace {

template <std::size_t N>
QString nameOf(const char* const (&names)[N], int value)
{
    if (value < 0 || value >= static_cast<int>(N))
        return {};
    return QString::fromLatin1(names[value]);
}

template <std::size_t N>
int valueOf(const char* const (&names)[N], const QString& text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

const char* const kFieldKinds[] = {"kfkData", "kfkVirtual"};
const char* const kValueKinds[] = {"vkScalar", "vkList", "vkSubQuery"};
const char* const kEditTypes[] = {"etAuto", "etEdit", "etList", "etCustom", "etSQL"};
const char* const kLinkTypes[] = {"ltInner", "ltOuterLeft", "ltOuterRight", "ltOuterFull"};
const char* const kExOperators[] = {"xoInList", "xoBetween", "xoStartsWith", "xoContains"};
const char* const kSyntaxes[] = {"ssSQL1", "ssSQL2", "ssOracle", "ssAccess", "ssNexusDB",
                                  "ssPostgreSQL", "ssSQLite", "ssMySQL", "ssMSSQL"};
const char* const kSQLOptions[] = {"soASCIIRFields", "soSelectDistinct", "soQuoteAliases",
                                   "soBracketJoins", "soBracketConditions", "soSortByNames",
                                   "soFilter"};

} // namespace

QString FldKindToStr(TVxFieldKind kind) { return nameOf(kFieldKinds, kind); }
int StrToFldKind(const QString& text) { return valueOf(kFieldKinds, text); }
QString ValueKindToStr(TValueKind kind) { return nameOf(kValueKinds, kind); }
int StrToValueKind(const QString& text) { return valueOf(kValueKinds, text); }
QString EditTypeToStr(TDSEditType type) { return nameOf(kEditTypes, type); }
int StrToEditType(const QString& text) { return valueOf(kEditTypes, text); }
QString LinkTypeToStr(TDSLinkType type) { return nameOf(kLinkTypes, type); }
int StrToLinkType(const QString& text) { return valueOf(kLinkTypes, text); }
QString ExOperatorToStr(TExOperator op) { return nameOf(kExOperators, op); }
int StrToExOperator(const QString& text) { return valueOf(kExOperators, text); }
QString SQLSyntaxToStr(TSQLSyntax syntax) { return nameOf(kSyntaxes, syntax); }
int StrToSQLSyntax(const QString& text) { return valueOf(kSyntaxes, text); }
QString SQLOptionToStr(TSQLOption option) { return nameOf(kSQLOptions, option); }
int StrToSQLOption(const QString& text) { return valueOf(kSQLOptions, text); }

} // namespace brindle
