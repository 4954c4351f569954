// The model's fields in a tree: order, filtering and what the nodes carry.
#include <brindle/panels/fields_tree.h>

#include <brindle/datamodel/db_structure.h>

#include <QApplication>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace brindle {
namespace {

// Root fields A and B (not a result column), group G1 with C and D (not a
// result column), group G2 with E only.
struct GroupedModel {
    TVxDBStructure model;

    GroupedModel()
    {
        for (const char* name : {"A", "B", "C", "D", "E"})
            model.AddField(kfkVirtual, QString("max(%1)").arg(name), name, nullptr);
        field("B")->SetUseInResult(false);
        field("D")->SetUseInResult(false);
        field("D")->SetGroup(model.FieldGroups().AddGroup("G1", field("C")));
        model.FieldGroups().AddGroup("G2", field("E"));
    }
    TDSField* field(const QString& name) const { return model.FieldByName(flByDisplayName, name); }
};

// "A B G1(C D) G2(E)": each node's text, children in brackets; and checks
// that field nodes carry their field and image 1, group nodes image 0.
QString outline(const QTreeWidgetItem* parent, const GroupedModel& m)
{
    QStringList parts;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* node = parent->child(i);
        const bool isField = m.model.FieldGroups().FindByName(node->text(0)) == nullptr;
        EXPECT_EQ(NodeField(node), isField ? m.field(node->text(0)) : nullptr) << node->text(0).toStdString();
        EXPECT_EQ(node->data(0, FieldNodeImageRole).toInt(), isField ? FieldNodeImage : GroupNodeImage);
        parts << (isField ? node->text(0) : node->text(0) + "(" + outline(node, m) + ")");
    }
    return parts.join(' ');
}

TEST(FieldsTree, OrdersRootFieldsAndFiltersResultFields)
{
    struct Case { bool onlyResult; bool rootFirst; const char* expected; };
    for (const Case& c : {Case{false, true, "A B G1(C D) G2(E)"}, Case{false, false, "G1(C D) G2(E) A B"},
                          Case{true, true, "A G1(C) G2(E)"}, Case{true, false, "G1(C) G2(E) A"}}) {
        GroupedModel m;
        QTreeWidget tree;
        tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
        QList<Qt::CursorShape> cursors;
        QObject::connect(tree.model(), &QAbstractItemModel::rowsInserted, [&] {
            cursors << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
        });
        FieldsToTreeView(m.model, &tree, c.onlyResult, c.rootFirst);
        EXPECT_EQ(outline(tree.invisibleRootItem(), m).toStdString(), c.expected);
        EXPECT_EQ(cursors, QList<Qt::CursorShape>(2, Qt::WaitCursor));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// The item model's outline in the same form, with the same checks.
QString outline(const FieldsTreeModel& tree, const QModelIndex& parent, const GroupedModel& m)
{
    QStringList parts;
    for (int row = 0; row < tree.rowCount(parent); ++row) {
        const QModelIndex node = tree.index(row, 0, parent);
        const QString text = node.data().toString();
        const bool isField = m.model.FieldGroups().FindByName(text) == nullptr;
        EXPECT_EQ(tree.Field(node), isField ? m.field(text) : nullptr) << text.toStdString();
        EXPECT_EQ(node.data(FieldNodeFieldRole).value<TDSField*>(), tree.Field(node));
        EXPECT_EQ(node.data(FieldNodeImageRole).toInt(), isField ? FieldNodeImage : GroupNodeImage);
        EXPECT_EQ(tree.parent(node), parent);
        if (tree.Field(node))
            EXPECT_EQ(tree.IndexOf(tree.Field(node)), node);
        parts << (isField ? text : text + "(" + outline(tree, node, m) + ")");
    }
    return parts.join(' ');
}

TEST(FieldsTree, ModelOrdersRootFieldsAndFiltersResultFields)
{
    struct Case { bool onlyResult; bool rootFirst; const char* expected; };
    for (const Case& c : {Case{false, true, "A B G1(C D) G2(E)"}, Case{false, false, "G1(C D) G2(E) A B"},
                          Case{true, true, "A G1(C) G2(E)"}, Case{true, false, "G1(C) G2(E) A"}}) {
        GroupedModel m;
        FieldsTreeModel tree;
        tree.Fill(&m.model, c.onlyResult, c.rootFirst);
        EXPECT_EQ(outline(tree, {}, m).toStdString(), c.expected);
        EXPECT_EQ(tree.IndexOf(c.onlyResult ? m.field("B") : nullptr), QModelIndex());
        EXPECT_EQ(tree.index(tree.rowCount(), 0), QModelIndex());
        tree.Fill(nullptr, c.onlyResult, c.rootFirst);
        EXPECT_EQ(tree.rowCount(), 0);
    }
}

TEST(FieldsTree, UpdateGroupFieldsReplacesTheChildren)
{
    GroupedModel m;
    QTreeWidget tree;
    FieldsToTreeView(m.model, &tree, false, true);
    QTreeWidgetItem* g1 = tree.topLevelItem(2);
    m.field("A")->SetGroup(m.model.FieldGroups().FindByName("G1"));
    UpdateGroupFields(*m.model.FieldGroups().FindByName("G1"), g1, true);
    EXPECT_EQ(outline(g1, m).toStdString(), "C A");
}

} // namespace
} // namespace brindle
