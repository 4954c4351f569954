#pragma once
// TdlgTitlesEditor: the texts of a panel as a table of name, default text
// and current text, the last editable, with a button that puts the default
// back. Section headers and other lines of the titles pass through as they
// are.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/string_list.h>

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace brindle {

class BRINDLE_WIDGETS_EXPORT TdlgTitlesEditor : public QDialog {
    Q_OBJECT
public:
    TdlgTitlesEditor(const TStringList& defaults, const TStringList& titles, QWidget* parent = nullptr);

    // The titles with the texts as edited.
    TStringList Titles() const;
    QTableWidget* Table() const { return FTable; }
    // Puts the default text back in the selected rows, or in every row when
    // none is selected.
    QPushButton* ResetButton() const { return FReset; }

private:
    TStringList FTitles;
    // The line of the titles each table row edits.
    QList<int> FLines;
    QTableWidget* FTable;
    QPushButton* FReset;
};

// Shows the editor modally; on OK the titles take the edited texts and the
// answer is true.
BRINDLE_WIDGETS_EXPORT bool RunTitlesEditor(QWidget* parent, const TStringList& defaults, TStringList& titles);

} // namespace brindle
