#pragma once
// TdlgSubQuery: the dialog in which a sub-query value is edited. It holds
// the sub-query's result column word, the Distinct box and a query panel of
// its own; the outer panel's EditSubQuery sets it up, loads the stored
// sub-query into it and, on OK, stores it back.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/string_list.h>

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;

namespace brindle {

class TDropDownLabel;
class TVxQueryPanel;

class BRINDLE_WIDGETS_EXPORT TdlgSubQuery : public QDialog {
    Q_OBJECT
public:
    explicit TdlgSubQuery(QWidget* parent = nullptr);
    ~TdlgSubQuery() override;

    TVxQueryPanel& QPanel() const { return *FPanel; }
    QLabel* ResultFieldCaption() const { return FResultFieldCaption; }
    TDropDownLabel* ResultFieldWord() const { return FResultField; }
    QCheckBox* DistinctBox() const { return FDistinct; }
    QDialogButtonBox* Buttons() const { return FButtons; }

    // The embedded panel takes over the parent's event handlers, then its
    // data model, titles, appearance and statement options; it does not
    // save titles with the sub-query.
    void SetParentQPanel(TVxQueryPanel& parent);
    // Loads a stored sub-query; one without result columns gets the model's
    // first field as its column.
    void LoadQuery(const TStringList& query);
    // Stores the sub-query and gives its statement and readable text.
    void SaveQuery(TStringList& query, QString& sql, QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The result column, in the result fields editor.
    void chooseResultField();
    void showResultCaption();

    QLabel* FResultFieldCaption;
    TDropDownLabel* FResultField;
    QCheckBox* FDistinct;
    TVxQueryPanel* FPanel;
    QDialogButtonBox* FButtons;
};

} // namespace brindle
