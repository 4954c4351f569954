// The query panel's dialogs: the sub-query editor and the result fields
// editor. They live with the dialogs, so that the panels never reach into
// this folder.

#include <brindle/panels/query_panel.h>

#include <brindle/designer/result_fields_editor.h>
#include <brindle/designer/sub_query_dialog.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/event_guard.h>

#include <QScopeGuard>

namespace brindle {

// --- sub-queries

bool TVxQueryPanel::EditSubQuery(TVxQuery&, TStringList& subQuery, QString& value, TSQLOptions& options,
                                 QString& readableText)
{
    return EditSubQuery(subQuery, value, readableText, options);
}

bool TVxQueryPanel::EditSubQuery(TStringList& subQuery, QString& sql, QString& text, TSQLOptions& options)
{
    TdlgSubQuery dialog(this);
    dialog.setWindowTitle(FQuery->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    dialog.SetParentQPanel(*this);
    dialog.setFont(FSubQueryFont);
    TVxQueryPanel& panel = dialog.QPanel();
    TVxQuery& sub = panel.Query();
    sub.QResult()->ResultFields().SetUseAliases(false);
    // The sub-query's parameters are numbered after the outer query's.
    sub.QResult()->SetParentParamCount(FQuery->QResult()->GetParamCount());
    panel.Appearance().Assign(FSubQueryAppearance);
    panel.Appearance().SetOptions(panel.Appearance().Options() - TQPAppearanceOptions{aoAllowParams});
    sub.SetSQLOptions(FQuery->SQLOptions());
    sub.SetSQLSyntax(FQuery->SQLSyntax());
    // The stored sub-query keeps its own options (Distinct among them), so
    // that opening it again and confirming does not lose them.
    sub.SetSaveSQLOptions(true);
    // The outer query reports the sub-query's changes as its own.
    sub.OnChange = nullptr;
    sub.OnParamListChange = nullptr;
    connect(&sub, &TVxQuery::changed, this, [this] { SubQueryChanged(); });
    dialog.LoadQuery(subQuery);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = sub.SQLOptions();
    dialog.SaveQuery(subQuery, sql, text);
    return true;
}

// --- the result fields editor

void TVxQueryPanel::InitResultFieldsDlg(TdlgRFieldsEditor& dialog, int maxFieldCount, TRFDOptions options)
{
    if (!FQuery->DbStruct())
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    dialog.SetTitles(FQuery.get());
    dialog.SetDBStructure(FQuery->DbStruct());
    dialog.SetOptions(options);
    TRFieldList& fields = FQuery->QResult()->ResultFields();
    // An empty list defines no columns: the statement selects everything.
    if (fields.Count() == 0)
        fields.SetJustSorting(true);
    dialog.Load(fields);
    dialog.SetMaxFieldCount(maxFieldCount);
    dialog.OnHelpClick = [this] {
        if (OnHelpClick)
            OnHelpClick(this);
    };
}

void TVxQueryPanel::saveResultFields(const TdlgRFieldsEditor& dialog)
{
    TRFieldList& fields = FQuery->QResult()->ResultFields();
    fields.BeginUpdate();
    const auto end = qScopeGuard([&] { fields.EndUpdate(); });
    dialog.Save(fields);
}

bool TVxQueryPanel::ShowResultFieldsDlg(int maxFieldCount, TRFDOptions options)
{
    TdlgRFieldsEditor dialog(this);
    InitResultFieldsDlg(dialog, maxFieldCount, options);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    saveResultFields(dialog);
    return true;
}

TdlgRFieldsEditor* TVxQueryPanel::ShowResultFieldsDlgAsync(int maxFieldCount, TRFDOptions options)
{
    auto* dialog = new TdlgRFieldsEditor(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    InitResultFieldsDlg(*dialog, maxFieldCount, options);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        Guarded([&] {
            if (result == QDialog::Accepted)
                saveResultFields(*dialog);
            if (OnResultFieldsDlgClose)
                FQuery->CallHandler([&] { OnResultFieldsDlgClose(this); });
        });
    });
    dialog->show();
    return dialog;
}

bool TVxQueryPanel::EditQResult()
{
    return ShowResultFieldsDlg(0, {rfdShowSorting});
}

} // namespace brindle
