#pragma once
// The widget box's pictures of Brindle's widgets, drawn rather than stored:
// a rounded tile in the round button's colours with a small sketch of the
// widget on it.

#include <QIcon>

namespace brindle::designer_plugin {

enum class IconKind { QueryPanel, ResultFieldsPanel, StructDesignPanel, DropDownLabel };

QIcon WidgetIcon(IconKind kind);

} // namespace brindle::designer_plugin
