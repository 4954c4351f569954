#pragma once
// TQueryHistory: undo and redo of a whole query. A query has at most one
// history, a child made at the first ask (Of), so every view of the query
// shares it. After each changed() of the query the history takes the query
// text; a step is what one change did to it, so undoing a step gives back
// the text the query had before exactly. A change that leaves the text as
// it was makes no step. Steps keep only the lines a change replaced, since
// a change mostly touches a few rows of a long text.
//
// The text is kept in parts, the head and one part per row, and each row's
// part is written again only once the query reports a change of that row
// (its words, its rows, a reset of the tree): a change of one row costs the
// walk over the rows, not the writing of them all. With the environment
// variable BRINDLE_CHECK_HISTORY set, every text taken is checked against
// the whole text written anew, and a difference ends the program.
//
// With TrackModel, an edit of the query's data model is a step as well: it
// holds the model text and the query text together (the rows the model's
// edit took along included), and undoing it loads the model first, then the
// query. The steps belong to one model: when the query's model goes or is
// replaced, the history starts anew.
//
// Changes made between the query's BeginUpdate and EndUpdate report
// nothing, so they join the next step; a host that sets a query up that way
// calls Clear afterwards.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/model_listener.h>

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace brindle {

class TFilterRow;
class TVxCustomDBStructure;
class TVxQuery;

// One change of a text: at item At, the items Before became After. Outside
// the exported class, whose member templates some compilers leave
// uninstantiated.
template <typename Text>
struct HistoryDelta {
    int At = 0;
    Text Before;
    Text After;
};

class BRINDLE_CORE_EXPORT TQueryHistory : public QObject, private IModelListener {
    Q_OBJECT
public:
    // The query's history, made (and its first state taken) at the first ask.
    static TQueryHistory& Of(TVxQuery& query);
    ~TQueryHistory() override;

    TVxQuery& Query() const { return FQuery; }

    // How many steps are kept; the oldest go first. 0 records nothing.
    static constexpr int DefaultDepth = 100;
    int Depth() const { return FDepth; }
    void SetDepth(int depth);
    // Whether edits of the query's model are steps too.
    bool TrackModel() const { return FTrackModel; }
    void SetTrackModel(bool on);

    int UndoCount() const;
    int RedoCount() const;
    bool CanUndo() const { return UndoCount() > 0; }
    bool CanRedo() const { return RedoCount() > 0; }
    // Give the query (and, for a model step, the model) the text it had
    // before the last step done, or after the next step undone. False when
    // there is none. A text that no longer loads raises, and the history
    // starts anew from what the query is then.
    bool Undo();
    bool Redo();
    // Forgets every step: the query as it is now is where undo stops.
    void Clear();

signals:
    // The number of steps to undo or redo changed.
    void stateChanged();
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);

private:
    explicit TQueryHistory(TVxQuery& query);

    // A part of the query text: the head (the first part), or the section
    // of the row named Id without its header line.
    struct Part {
        QString Id;
        QStringList Lines;
        bool operator==(const Part& other) const { return Id == other.Id && Lines == other.Lines; }
    };
    using Parts = std::vector<Part>;
    template <typename Text>
    using Delta = HistoryDelta<Text>;
    struct Step {
        Delta<Parts> Query;
        std::optional<Delta<QStringList>> Model;
    };
    template <typename Text>
    static Delta<Text> diff(const Text& from, const Text& to);
    template <typename Text>
    static Text replaced(const Text& text, int at, const Text& removed, const Text& inserted);
    template <typename Text>
    static Text applyBackward(const Text& text, const Delta<Text>& delta);
    template <typename Text>
    static Text applyForward(const Text& text, const Delta<Text>& delta);
    // The row parts written so far, and the writer that keeps the lines
    // rows share.
    struct RowCache;

    void queryChanged();
    void modelChanged();
    void record(bool readModel);
    bool restore(bool undo);
    // Forgets the steps and takes the query (and model) as they are now.
    void restart();
    void follow(TVxCustomDBStructure* model);
    Parts queryParts();
    static QStringList joined(const Parts& parts);
    // A row's part is to be written again; with its rows, when they may be
    // new rows where freed ones stood.
    void rowChanged(const TFilterRow* row);
    void rowsReplaced(const TFilterRow* row);
    void forgetRows();
    void check(const Parts& parts);
    QStringList modelText() const;
    bool modelReplaced() const;
    // Emits the signals for what differs from the counts before.
    void tell(int undoBefore, int redoBefore);

    // IModelListener
    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelEntitiesUpdated(TVxCustomDBStructure* model) override;
    void ModelEntitiesRemoved(TVxCustomDBStructure* model) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;

    TVxQuery& FQuery;
    // The model the steps belong to (its address tells it from one made
    // where a freed one stood), and the one listened to while tracking.
    QPointer<TVxCustomDBStructure> FModel;
    const TVxCustomDBStructure* FModelId = nullptr;
    TVxCustomDBStructure* FListened = nullptr;
    QMetaObject::Connection FModelChanged;
    QMetaObject::Connection FModelGone;
    int FDepth = DefaultDepth;
    bool FTrackModel = false;
    std::deque<Step> FSteps;
    // Steps done; those after it are the ones to redo.
    int FDone = 0;
    Parts FQueryText;
    std::unique_ptr<RowCache> FRows;
    bool FCheck = false;
    QStringList FModelText;
    bool FRestoring = false;
    // Inside one operation of the model, what it and the query report is
    // one step: the step made first takes in the rest.
    bool FModelOperation = false;
    bool FAmend = false;
};

} // namespace brindle
