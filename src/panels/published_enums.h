#pragma once
// The enumerations and sets of the panels' published properties as Qt's
// meta-object system knows them, so that Qt Designer offers them by name
// and a form stores them by name. The library's own enumerations stay
// plain C++; each value here is defined from its counterpart (a set's bit n
// stands for the value of ordinal n, as in EnumSet), so the two cannot
// drift apart. They live in a namespace of their own because the names
// are the library's: inside a panel class they would hide the originals.

#include <brindle/brindle_widgets_export.h>
#include <brindle/query/query.h>

#include <QObject>

namespace brindle::Published {
Q_NAMESPACE_EXPORT(BRINDLE_WIDGETS_EXPORT)

enum AppearanceOption {
    aoFlatButtons = 1 << brindle::aoFlatButtons,
    aoRoundButtons = 1 << brindle::aoRoundButtons,
    aoNonEmptyBrackets = 1 << brindle::aoNonEmptyBrackets,
    aoPopupField = 1 << brindle::aoPopupField,
    aoPopupValue = 1 << brindle::aoPopupValue,
    aoShowGroupName = 1 << brindle::aoShowGroupName,
    aoAllowKeyboard = 1 << brindle::aoAllowKeyboard,
    aoSortListData = 1 << brindle::aoSortListData,
    aoShowAddRow = 1 << brindle::aoShowAddRow,
    aoShowCheckBoxes = 1 << brindle::aoShowCheckBoxes,
    aoAllowParams = 1 << brindle::aoAllowParams,
    aoDisableRFieldExpr = 1 << brindle::aoDisableRFieldExpr,
    aoHideRowButtons = 1 << brindle::aoHideRowButtons,
    aoShowGroupRows = 1 << brindle::aoShowGroupRows,
    aoHideRootRow = 1 << brindle::aoHideRootRow,
    aoFieldsMenuOnAdd = 1 << brindle::aoFieldsMenuOnAdd
};
Q_DECLARE_FLAGS(AppearanceOptions, AppearanceOption)
Q_FLAG_NS(AppearanceOptions)

enum LinkType {
    fltAll = 1 << brindle::fltAll,
    fltAny = 1 << brindle::fltAny,
    fltNone = 1 << brindle::fltNone,
    fltNotAll = 1 << brindle::fltNotAll
};
Q_DECLARE_FLAGS(LinkTypes, LinkType)
Q_FLAG_NS(LinkTypes)

enum LogicalOperatorStyle {
    losHidden = brindle::losHidden,
    losBeforeCond = brindle::losBeforeCond,
    losAfterCond = brindle::losAfterCond
};
Q_ENUM_NS(LogicalOperatorStyle)

// A set of the library's and its published flags hold the same bits.
template <typename Flags, typename Set>
Flags ToFlags(Set set)
{
    return Flags::fromInt(static_cast<typename Flags::Int>(set.Bits()));
}
template <typename Set, typename Flags>
Set ToSet(Flags flags)
{
    return Set::FromBits(static_cast<quint64>(flags.toInt()));
}

} // namespace brindle::Published

Q_DECLARE_OPERATORS_FOR_FLAGS(brindle::Published::AppearanceOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(brindle::Published::LinkTypes)
