#pragma once
// A shown structure design panel over a small model whose database info
// lists columns from a table of names, and helpers that work a modal dialog
// once it is open and read the model back as text.

#include "panels/label_fixtures.h"

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/design_area.h>
#include <brindle/designer/struct_design_panel.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTest>
#include <QTimer>

#include <functional>

namespace fixtures {

// Answers column requests from a map; reports itself connected or not.
class ColumnsInfo : public brindle::TVxDBInfo {
public:
    QHash<QString, QStringList> Columns;
    bool IsConnected = true;
    int Requests = 0;

    bool GetConnected() override { return IsConnected; }
    void FieldsByTable(const QString& tableName, brindle::TDBFieldList& fields) override
    {
        ++Requests;
        for (const QString& name : Columns.value(tableName))
            fields.Add(name, brindle::ftInteger, 0);
    }
    void TablesByDatabase(brindle::TStringList& list) override
    {
        for (auto at = Columns.cbegin(); at != Columns.cend(); ++at)
            list.Add(at.key());
    }
};

// Once a modal dialog of the class is open, hands it to the action; if it
// is still open afterwards (a refused OK), it is closed so no test hangs.
// A dialog that never opens fails the test after a few seconds.
template <typename Dialog>
void onModal(std::function<void(Dialog*)> action)
{
    auto* timer = new QTimer;
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(timer, &QTimer::timeout, [timer, waited, action] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog && waited->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (!dialog) {
            ADD_FAILURE() << "the dialog did not open";
            return;
        }
        action(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer->start(10);
}

// Runs events until the condition holds or a few seconds pass.
inline bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 5000);
}

inline QString modelText(const brindle::TVxCustomDBStructure& model)
{
    brindle::TStringList lines;
    model.SaveToStrings(lines);
    return lines.Text();
}

// The value of the key in the model text's section.
inline QString sectionValue(const brindle::TVxCustomDBStructure& model, const QString& section, const QString& key)
{
    brindle::TStringList lines;
    model.SaveToStrings(lines);
    const int at = lines.IndexOf(u'[' + section + u']');
    for (int i = at + 1; at >= 0 && i < lines.Count() && !lines[i].startsWith(u'['); ++i)
        if (lines[i].startsWith(key + u'='))
            return lines[i].mid(key.size() + 1);
    return QStringLiteral("<none>");
}

class DesignWindow : public LabelWindow {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        window.resize(800, 600);
        model.SetDatabaseInfo(&info);
        panel = new brindle::TVxStructDesignPanel(&window);
        panel->setGeometry(0, 0, 800, 600);
        panel->show();
    }

    // A table with columns c1..cN (or the names given) at a stored place.
    brindle::TDSTable* addTable(const QString& name, QRect place, QStringList columns = {})
    {
        if (columns.isEmpty())
            columns = {QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")};
        info.Columns.insert(name, columns);
        brindle::TDSTable* table = model.Tables(model.AddTable(name, name));
        table->DesignLeft = place.x();
        table->DesignTop = place.y();
        table->DesignWidth = place.width();
        table->DesignHeight = place.height();
        return table;
    }
    brindle::TDSLink* addLink(brindle::TDSTable* t1, brindle::TDSTable* t2, QStringList cols1, QStringList cols2)
    {
        auto link = std::make_unique<brindle::TDSLink>(&model);
        link->SetTable1(t1);
        link->SetTable2(t2);
        link->SetFields1(brindle::TStringList(cols1));
        link->SetFields2(brindle::TStringList(cols2));
        return model.Links(model.AddLinkByRef(std::move(link)));
    }
    void activate()
    {
        panel->SetDBStruct(&model);
        panel->Activate();
        QApplication::processEvents();
    }
    // The stored place of the table numbered n, as the model text holds it.
    QString place(int n) const { return sectionValue(model, "Table:" + QString::number(n), "DsgnPos"); }
    QString linkValue(const QString& key) const { return sectionValue(model, "Link:A-B", key); }
    QWidget* surface() const { return panel->DesignArea()->Surface(); }
    brindle::TTableRep* box(int index) const { return panel->TablesRep()[index]; }
    // The middle of a column's row, in the list's viewport.
    static QPoint rowPoint(brindle::TTableRep* rep, int row)
    {
        return rep->FieldsList()->visualRect(rep->FieldsList()->model()->index(row, 0)).center();
    }

    ColumnsInfo info;
    brindle::TVxDBStructure model;
    brindle::TVxStructDesignPanel* panel = nullptr;
};

} // namespace fixtures
