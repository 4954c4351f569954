#pragma once
// A view that knows the query's tree only from its signals: tests compare
// what it holds with the tree itself.

#include <brindle/query/query.h>

#include <QHash>

namespace brindle::fixtures {

class QueryMirror {
public:
    explicit QueryMirror(TVxQuery& query) : q(query)
    {
        take(q.Filter());
        auto on = [this](auto signal, auto slot) { QObject::connect(&q, signal, slot); };
        on(&TVxQuery::rowInserted, [this](TFilterBracket* parent, int index) {
            take(parent->GetRow(index));
            rows[parent].insert(index, parent->GetRow(index));
        });
        on(&TVxQuery::rowAboutToBeRemoved, [this](TFilterBracket* parent, int index) {
            if (rows[parent].value(index) != parent->GetRow(index))
                Faults << "removal of a row the view does not hold there";
            rows[parent].removeAt(index);
        });
        on(&TVxQuery::rowMoved, [this](TFilterRow* row, TFilterBracket* oldParent, int) {
            rows[oldParent].removeOne(row);
            rows[row->ParentBracket()].insert(row->GetIndex(), row);
        });
        on(&TVxQuery::treeAboutToBeReset, [this] { resetting = true; });
        on(&TVxQuery::treeReset, [this] {
            ++Resets;
            resetting = false;
            rows.clear();
            take(q.Filter());
        });
        on(&TVxQuery::rowWordChanged, [this](TFilterRow* row, TQueryWord* word) {
            static const char* const roles[] = {"text", "link", "text after", "field", "operator", "value1", "sep", "value2", "and/or"};
            for (const TRowWord& w : q.RowWords(row))
                if (w.Word == word)
                    Words << row->RowID() + ':' + roles[w.Role] + (word->Fixed() ? " fixed" : "")
                                 + (word->Enabled() ? "" : " disabled") + (word->Visible() ? "" : " hidden")
                                 + (word->Hint().isEmpty() ? QString() : " hint " + word->Hint());
        });
        auto log = [this](QString prefix) { return [this, prefix](int i) { Fields << prefix + QString::number(i); }; };
        on(&TVxQuery::resultFieldInserted, log("+"));
        on(&TVxQuery::resultFieldAboutToBeRemoved, log("-"));
        on(&TVxQuery::resultFieldChanged, log("~"));
        on(&TVxQuery::resultFieldMoved, [this](int from, int to) { Fields << QString("%1>%2").arg(from).arg(to); });
    }

    // The tree as the view holds it, and as it is: each row's address, a
    // bracket's rows in "( )".
    QString Text() const { return resetting ? QStringLiteral("resetting") : text(q.Filter(), &rows); }
    static QString TreeText(const TFilterBracket* root) { return text(root, nullptr); }

    int Resets = 0;
    QStringList Words, Fields, Faults;

private:
    using Rows = QHash<const TFilterBracket*, QList<TFilterRow*>>;
    static QString text(const TFilterBracket* bracket, const Rows* held)
    {
        QStringList out;
        for (int i = 0, n = held ? held->value(bracket).count() : bracket->GetRowCount(); i < n; ++i) {
            const TFilterRow* row = held ? held->value(bracket)[i] : bracket->GetRow(i);
            out << (row->IsBracket() ? "(" + text(static_cast<const TFilterBracket*>(row), held) + ")"
                                     : QString::number(reinterpret_cast<quintptr>(row), 16));
        }
        return out.join(' ');
    }
    // A bracket that joins brings its rows along.
    void take(TFilterRow* row)
    {
        if (!row->IsBracket())
            return;
        auto* bracket = static_cast<TFilterBracket*>(row);
        rows[bracket].clear();
        for (int i = 0; i < bracket->GetRowCount(); ++i) {
            rows[bracket] << bracket->GetRow(i);
            take(bracket->GetRow(i));
        }
    }

    TVxQuery& q;
    Rows rows;
    bool resetting = false;
};

} // namespace brindle::fixtures
