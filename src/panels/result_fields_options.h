#pragma once
// The options of the result fields editor, which the query panel passes on
// when it opens the editor (the editor itself is one of the dialogs).

#include <brindle/foundations/set.h>

namespace brindle {

enum TRFDOption { rfdShowSorting, rfdOnlySorting, rfdDisableExpressions, rfdListFunc, rfdCountDistinctFunc };
using TRFDOptions = EnumSet<TRFDOption>;

} // namespace brindle
