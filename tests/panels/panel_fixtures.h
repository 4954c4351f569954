#pragma once
// A shown query panel over the query fixture model, a reference query, and
// the outcome by which the panel's work is compared with the query's own
// calls; a shown result fields panel beside the same model.

#include "panels/label_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>

#include <string>
#include <utility>

namespace fixtures {

class PanelWindow : public LabelWindow {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        panel = new brindle::TVxQueryPanel(&window);
        panel->resize(400, 300);
        panel->show();
        panel->Query().SetDbStruct(&m.model);
        reference.SetDbStruct(&m.model);
        reference.SetActive(true);
    }
    // The statement and query text of a query, readable in a failure.
    static std::pair<std::string, std::string> outcome(brindle::TVxQuery& query)
    {
        query.BuildQuery();
        brindle::TStringList text;
        query.SaveToStrings(text);
        return {query.QResult()->GetSQL().Text().toStdString(), text.Text().toStdString()};
    }

    brindle::fixtures::QueryModel m;
    // Built through the query's own calls, to compare with the panel's work.
    brindle::TVxQuery reference;
    brindle::TVxQueryPanel* panel = nullptr;
};

class FieldsPanelWindow : public LabelWindow {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        panel = new brindle::TVxResultFieldsPanel(&window);
        panel->resize(400, 300);
        panel->show();
    }

    brindle::fixtures::QueryModel m;
    brindle::TVxResultFieldsPanel* panel = nullptr;
};

} // namespace fixtures
