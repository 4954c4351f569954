#include <brindle/designer/sub_query_dialog.h>

#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/query_panel.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace brindle {

TdlgSubQuery::TdlgSubQuery(QWidget* parent)
    : QDialog(parent), FResultFieldCaption(new QLabel(tr("Result Field"), this)),
      FResultField(new TDropDownLabel(this)), FDistinct(new QCheckBox(tr("Distinct"), this)),
      FPanel(new TVxQueryPanel(this)),
      FButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Sub-Query Dialog"));
    resize(460, 293);
    auto* strip = new QHBoxLayout;
    strip->setSpacing(0);
    strip->addWidget(FResultFieldCaption);
    strip->addSpacing(4);
    strip->addWidget(FResultField);
    strip->addStretch();
    strip->addWidget(FDistinct);
    auto* column = new QVBoxLayout(this);
    column->addLayout(strip);
    column->addWidget(FPanel, 1);
    column->addWidget(FButtons);
    connect(FButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(FButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    TVxQuery& query = FPanel->Query();
    query.SetSQLOptions({soASCIIRFields, soSelectDistinct});
    query.QResult()->ResultFields().Clear();
    connect(FDistinct, &QCheckBox::clicked, this, [this](bool on) {
        Guarded([&] {
            TVxQuery& sub = FPanel->Query();
            const TSQLOptions options = sub.SQLOptions();
            sub.SetSQLOptions(on ? options + TSQLOptions{soSelectDistinct} : options - TSQLOptions{soSelectDistinct});
        });
    });
    // The word shows the result columns however they change.
    const auto follow = [this] { showResultCaption(); };
    connect(&query, &TVxQuery::resultFieldsReset, this, follow);
    connect(&query, &TVxQuery::resultFieldInserted, this, follow);
    connect(&query, &TVxQuery::resultFieldChanged, this, follow);
    connect(&query, &TVxQuery::resultFieldMoved, this, follow);
    // Announced while the field is still listed: the caption follows once it is gone.
    connect(&query, &TVxQuery::resultFieldAboutToBeRemoved, this, follow, Qt::QueuedConnection);
    // The word opens nothing itself: once it closed, the click chooses.
    connect(FResultField, &TDropDownLabel::droppedUp, this, [this] { Guarded([this] { chooseResultField(); }); });
}

TdlgSubQuery::~TdlgSubQuery() = default;

void TdlgSubQuery::SetParentQPanel(TVxQueryPanel& parent)
{
    TVxQuery& outer = parent.Query();
    TVxQuery& sub = FPanel->Query();
    FPanel->OnActive = parent.OnActive;
    FPanel->OnValueDblClick = parent.OnValueDblClick;
    sub.OnChange = outer.OnChange;
    sub.OnSetValue = outer.OnSetValue;
    sub.OnCustomValue = outer.OnCustomValue;
    sub.OnConditionChange = outer.OnConditionChange;
    sub.OnBuildSQL = outer.OnBuildSQL;
    sub.SetDbStruct(outer.DbStruct());
    sub.SetTitles(outer.Titles());
    FPanel->Appearance().Assign(parent.Appearance());
    sub.SetSQLOptions(outer.SQLOptions());
    sub.SetSaveTitles(false);
    FResultFieldCaption->setText(sub.GetTitle(QStringLiteral("ttlResultField")) + u':');
    FButtons->button(QDialogButtonBox::Cancel)->setText(sub.GetTitle(QStringLiteral("ttlCancelBtnCaption")));
}

void TdlgSubQuery::LoadQuery(const TStringList& query)
{
    TVxQuery& sub = FPanel->Query();
    sub.LoadFromStrings(query);
    TRFieldList& fields = sub.QResult()->ResultFields();
    const TVxCustomDBStructure* model = sub.DbStruct();
    if (fields.Count() == 0 && model && model->FieldCount() > 0) {
        TDSField* first = model->Fields(0);
        fields.Add(QStringLiteral("@1"), {first}, first->DisplayName());
    }
}

void TdlgSubQuery::SaveQuery(TStringList& query, QString& sql, QString& text)
{
    TVxQuery& sub = FPanel->Query();
    sub.SaveToStrings(query);
    sub.BuildQuery();
    sql = sub.QResult()->GetSQL().Text();
    text = sub.GetQueryText().Text();
}

void TdlgSubQuery::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FDistinct->setChecked(FPanel->Query().SQLOptions().Contains(soSelectDistinct));
    QPalette colours = FResultField->palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    FResultField->setPalette(colours);
    QFont underlined = FResultField->font();
    underlined.setUnderline(true);
    FResultField->setFont(underlined);
    showResultCaption();
    Guarded([this] { FPanel->SetActive(true); });
}

void TdlgSubQuery::chooseResultField()
{
    // The sub-query keeps exactly one result column, without an alias.
    if (!FPanel->ShowResultFieldsDlg(1, {}))
        return;
    TRFieldList& fields = FPanel->Query().QResult()->ResultFields();
    if (fields.Count() > 0)
        fields.GetRField(0)->SetAlias({});
}

void TdlgSubQuery::showResultCaption()
{
    FResultField->SetCaption(FPanel->Query().QResult()->ResultFields().GetCaption());
    FResultField->adjustSize();
}

} // namespace brindle
