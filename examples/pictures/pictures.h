#pragma once
// Pictures of the widgets for the documentation, each drawn off screen into
// a PNG file. A failed write raises Exception.

#include <QString>

namespace brindle {

// The round button in its states (up, hovered, pressed, with and without
// AllowPress, disabled), flat, not flat and square, over a highlighted row.
void RenderRoundButtonPicture(const QString& path);

// Each kind of drop-down label with its editor open, one file per kind
// (label_edit.png, label_mask_edit.png, label_date.png, label_popup.png,
// label_list_box.png, label_check_list.png) in the folder, and a field
// popup too big for the screen searched, light and dark
// (label_popup_filter.png, label_popup_filter_dark.png).
void RenderLabelPictures(const QString& dir);

// The query panel over the sample model with about a dozen rows, its
// operator menu open (query_panel.png), and the same query with the
// logical operator words after the conditions (query_panel_and_or.png);
// the sub-query dialog (sub_query_dialog.png) and the result fields editor
// with its add menu open (result_fields_editor.png); the query panel and
// the result fields panel on a dark palette (panels_dark.png); the first
// picture again in German without its menu (query_panel_de.png).
void RenderPanelPictures(const QString& dir);

// The data model editor over the sample model, one file per page
// (model_editor_tables.png, model_editor_entities.png,
// model_editor_attributes.png, model_editor_operators.png,
// model_editor_conditions.png, model_editor_diagram.png).
void RenderModelEditorPictures(const QString& dir);
// The structure design panel over the sample model and database
// (design_panel.png), the same with a link being drawn
// (design_panel_drawing.png), the link editor (link_editor.png) and the
// tables list (tables_list.png); the panel on a dark palette
// (design_panel_dark.png).
void RenderDesignerPictures(const QString& dir);

} // namespace brindle
