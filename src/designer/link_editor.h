#pragma once
// TdlgLinkEditor: the dialog in which a user edits one link: its column
// pairs (each side a column of its table, offered from the database info,
// or "val:" followed by an SQL literal), the comparison operator of each
// pair, the join type and whether column names are quoted. It edits a copy
// and writes the link only on Save, so Cancel leaves the link as it was.
//
// A link without pairs, or with a pair that lacks a side, would join on an
// empty condition: the dialog refuses to be confirmed then (OK stays
// disabled and accept() keeps the dialog open with a message), so such a
// link never reaches the model through it.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/enums.h>

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace brindle {

class TDSLink;
class TDSTable;

class BRINDLE_WIDGETS_EXPORT TdlgLinkEditor : public QDialog {
    Q_OBJECT
public:
    // The operators a column pair may use, as the link lines read them.
    static const QStringList& LinkOperators();

    explicit TdlgLinkEditor(QWidget* parent = nullptr);

    // Shows the link's tables and a copy of its pairs, operators, type and
    // quoting; the columns offered come from its model's database info
    // when that is connected.
    void Load(const TDSLink& link);
    // Writes the edited copy into the link.
    void Save(TDSLink& link) const;
    // At least one pair, each with both sides filled in.
    bool IsComplete() const;

    int PairCount() const;
    void AddPair(const QString& side1 = {}, const QString& op = QStringLiteral("="), const QString& side2 = {});
    void RemovePair(int row);
    // The editors of a pair: side 1 or 2, or its operator.
    QComboBox* SideBox(int row, int side) const;
    QComboBox* OperatorBox(int row) const;

    // The caption of table 1 or 2.
    QLabel* TableLabel(int side) const { return side == 1 ? FTable1 : FTable2; }
    QTableWidget* PairGrid() const { return FGrid; }
    QComboBox* LinkTypeBox() const { return FLinkType; }
    QCheckBox* QuoteBox() const { return FQuote; }
    QPushButton* AddButton() const { return FAddButton; }
    QPushButton* RemoveButton() const { return FRemoveButton; }
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }
    QLabel* MessageLine() const { return FMessage; }

    void accept() override;

private:
    QStringList columnsOf(const TDSTable* table, bool& listed);
    QComboBox* sideEditor(const QStringList& columns, const QString& entry);
    void updateState();

    QLabel* FTable1;
    QLabel* FTable2;
    QTableWidget* FGrid;
    QComboBox* FLinkType;
    QCheckBox* FQuote;
    QPushButton* FAddButton;
    QPushButton* FRemoveButton;
    QPushButton* FOkButton;
    QPushButton* FCancelButton;
    QLabel* FMessage;
    QStringList FColumns1;
    QStringList FColumns2;
    QString FListError;
};

// Runs the editor on the link; true when confirmed, the link then changed.
BRINDLE_WIDGETS_EXPORT bool EditLinkDlg(TDSLink& link, QWidget* parent = nullptr);

} // namespace brindle
