#include <brindle/query/query_history.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/query/query.h>
#include <brindle/query/query_text_p.h>

#include <QHash>
#include <QScopeGuard>

#include <algorithm>
#include <iterator>

namespace brindle {

struct TQueryHistory::RowCache {
    QHash<const TFilterRow*, Part> Rows;
    // The rows were written against this state of the model: an edit of the
    // model may change what every row writes (an operator's name, an ID).
    const TVxCustomDBStructure* Model = nullptr;
    quint64 ModelRevision = 0;
};

// The change from one text to another, as one run of items replaced.
template <typename Text>
TQueryHistory::Delta<Text> TQueryHistory::diff(const Text& from, const Text& to)
{
    const auto common = static_cast<qsizetype>(std::min<std::size_t>(from.size(), to.size()));
    qsizetype head = 0;
    while (head < common && from[head] == to[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    const auto run = [&](const Text& text) {
        return Text(text.begin() + head, text.begin() + (static_cast<qsizetype>(text.size()) - tail));
    };
    return {static_cast<int>(head), run(from), run(to)};
}

// The text with the items of one side of a change replaced by the other's.
template <typename Text>
Text TQueryHistory::replaced(const Text& text, int at, const Text& removed, const Text& inserted)
{
    Text result;
    result.reserve(text.size() - removed.size() + inserted.size());
    std::copy(text.begin(), text.begin() + at, std::back_inserter(result));
    std::copy(inserted.begin(), inserted.end(), std::back_inserter(result));
    std::copy(text.begin() + at + static_cast<qsizetype>(removed.size()), text.end(), std::back_inserter(result));
    return result;
}

template <typename Text>
Text TQueryHistory::applyBackward(const Text& text, const Delta<Text>& delta)
{
    return replaced(text, delta.At, delta.After, delta.Before);
}

template <typename Text>
Text TQueryHistory::applyForward(const Text& text, const Delta<Text>& delta)
{
    return replaced(text, delta.At, delta.Before, delta.After);
}

TQueryHistory& TQueryHistory::Of(TVxQuery& query)
{
    if (auto* history = query.findChild<TQueryHistory*>(QString(), Qt::FindDirectChildrenOnly))
        return *history;
    return *new TQueryHistory(query);
}

TQueryHistory::TQueryHistory(TVxQuery& query)
    : QObject(&query),
      FQuery(query),
      FRows(std::make_unique<RowCache>()),
      FCheck(qEnvironmentVariableIsSet("BRINDLE_CHECK_HISTORY"))
{
    connect(&query, &TVxQuery::changed, this, &TQueryHistory::queryChanged);
    // What the rows write changes only with what the query tells its views.
    connect(&query, &TVxQuery::rowWordChanged, this, [this](TFilterRow* row) { rowChanged(row); });
    connect(&query, &TVxQuery::rowWordsReplaced, this, [this](TFilterRow* row) { rowChanged(row); });
    connect(&query, &TVxQuery::rowInserted, this, [this](TFilterBracket* parent, int index) {
        rowChanged(parent);
        rowsReplaced(parent->GetRow(index));
    });
    connect(&query, &TVxQuery::rowAboutToBeRemoved, this, [this](TFilterBracket* parent, int index) {
        rowChanged(parent);
        rowsReplaced(parent->GetRow(index));
    });
    connect(&query, &TVxQuery::rowMoved, this, [this](TFilterRow* row, TFilterBracket* oldParent) {
        rowChanged(oldParent);
        rowChanged(row->ParentBracket());
    });
    connect(&query, &TVxQuery::treeAboutToBeReset, this, &TQueryHistory::forgetRows);
    // A new model resets the tree without reporting a change.
    connect(&query, &TVxQuery::treeReset, this, [this] {
        if (modelReplaced())
            restart();
    });
    restart();
}

TQueryHistory::~TQueryHistory()
{
    follow(nullptr);
}

void TQueryHistory::rowChanged(const TFilterRow* row)
{
    if (row)
        FRows->Rows.remove(row);
}

void TQueryHistory::rowsReplaced(const TFilterRow* row)
{
    if (!row)
        return;
    rowChanged(row);
    if (row->IsBracket())
        for (int i = 0; i < static_cast<const TFilterBracket*>(row)->GetRowCount(); ++i)
            rowsReplaced(static_cast<const TFilterBracket*>(row)->GetRow(i));
}

void TQueryHistory::forgetRows()
{
    FRows->Rows.clear();
}

TQueryHistory::Parts TQueryHistory::queryParts()
{
    const TVxCustomDBStructure* model = FQuery.DbStruct();
    const quint64 revision = model ? model->Revision() : 0;
    if (model != FRows->Model || revision != FRows->ModelRevision) {
        forgetRows();
        FRows->Model = model;
        FRows->ModelRevision = revision;
    }
    // A writer for this text alone: the lines it shares by model entity
    // must not outlive the entities.
    TVxQuery::TextWriter writer(FQuery);
    Parts parts;
    parts.reserve(FQueryText.size() + 1);
    TStringList head;
    writer.WriteHead(head);
    parts.push_back({QString(), head.Lines()});
    writer.ForEachRow([&](TFilterRow* row, QStringView id) {
        Part& part = FRows->Rows[row];
        if (part.Lines.isEmpty()) {
            TStringList lines;
            writer.WriteRow(row, lines);
            part.Lines = lines.Lines();
        }
        if (part.Id != id)
            part.Id = id.toString();
        parts.push_back(part);
    });
    if (FCheck)
        check(parts);
    return parts;
}

QStringList TQueryHistory::joined(const Parts& parts)
{
    QStringList lines;
    for (const Part& part : parts) {
        if (&part != &parts.front())
            lines.append(QStringLiteral("[Row") + part.Id + u']');
        lines.append(part.Lines);
    }
    return lines;
}

void TQueryHistory::check(const Parts& parts)
{
    const bool modified = FQuery.Modified();
    TStringList whole;
    FQuery.SaveToStrings(whole);
    FQuery.SetModified(modified);
    const QStringList kept = joined(parts);
    if (kept == whole.Lines())
        return;
    qsizetype line = 0;
    while (line < kept.size() && line < whole.Count() && kept[line] == whole[static_cast<int>(line)])
        ++line;
    qFatal("The query text the history kept differs from the query's at line %lld: '%s' against '%s'",
           static_cast<long long>(line + 1), qPrintable(kept.value(line)),
           qPrintable(line < whole.Count() ? whole[static_cast<int>(line)] : QString()));
}

void TQueryHistory::SetDepth(int depth)
{
    depth = std::max(depth, 0);
    if (depth == FDepth)
        return;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    const bool wasOff = FDepth == 0;
    FDepth = depth;
    if (wasOff) {
        // Nothing was taken while off: start from the query as it is.
        restart();
        return;
    }
    while (static_cast<int>(FSteps.size()) > depth) {
        // Redo steps go before the oldest undo steps.
        if (static_cast<int>(FSteps.size()) > FDone) {
            FSteps.pop_back();
        } else {
            FSteps.pop_front();
            --FDone;
        }
    }
    tell(undoBefore, redoBefore);
}

void TQueryHistory::SetTrackModel(bool on)
{
    if (on == FTrackModel)
        return;
    FTrackModel = on;
    // Steps taken without the model cannot give it back.
    restart();
}

int TQueryHistory::UndoCount() const
{
    return modelReplaced() ? 0 : FDone;
}

int TQueryHistory::RedoCount() const
{
    return modelReplaced() ? 0 : static_cast<int>(FSteps.size()) - FDone;
}

bool TQueryHistory::modelReplaced() const
{
    return FQuery.DbStruct() != FModelId || (FModelId && !FModel);
}

bool TQueryHistory::Undo()
{
    return restore(true);
}

bool TQueryHistory::Redo()
{
    return restore(false);
}

void TQueryHistory::Clear()
{
    restart();
}

bool TQueryHistory::restore(bool undo)
{
    if (modelReplaced()) {
        restart();
        return false;
    }
    if (undo ? FDone == 0 : FDone == static_cast<int>(FSteps.size()))
        return false;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    const Step& step = FSteps[static_cast<std::size_t>(undo ? FDone - 1 : FDone)];
    Parts queryText = undo ? applyBackward(FQueryText, step.Query) : applyForward(FQueryText, step.Query);
    QStringList modelText = FModelText;
    if (step.Model)
        modelText = undo ? applyBackward(FModelText, *step.Model) : applyForward(FModelText, *step.Model);
    try {
        FRestoring = true;
        const auto done = qScopeGuard([this] { FRestoring = false; });
        // The query reads its rows against the model, so the model comes first.
        if (step.Model)
            FModel->LoadFromStrings(TStringList(modelText));
        FQuery.LoadFromStrings(TStringList(joined(queryText)));
    } catch (...) {
        restart();
        throw;
    }
    // The load made every row anew: their parts are written now, so that
    // the next change writes only its own rows.
    queryParts();
    FQueryText = std::move(queryText);
    FModelText = std::move(modelText);
    FDone += undo ? -1 : 1;
    FAmend = false;
    tell(undoBefore, redoBefore);
    return true;
}

void TQueryHistory::restart()
{
    // The steps as they stood, though a model that went already hides them.
    const int undoBefore = FDone;
    const int redoBefore = static_cast<int>(FSteps.size()) - FDone;
    FSteps.clear();
    FDone = 0;
    FAmend = false;
    FModelOperation = false;
    follow(FQuery.DbStruct());
    FQueryText = FDepth > 0 ? queryParts() : Parts();
    FModelText = FDepth > 0 && FTrackModel ? modelText() : QStringList();
    tell(undoBefore, redoBefore);
}

void TQueryHistory::follow(TVxCustomDBStructure* model)
{
    if (FListened)
        FListened->RemoveModelListener(this);
    FListened = nullptr;
    disconnect(FModelChanged);
    disconnect(FModelGone);
    FModel = model;
    FModelId = model;
    if (!model)
        return;
    FModelGone = connect(model, &QObject::destroyed, this, [this] { restart(); });
    if (!FTrackModel)
        return;
    FListened = model;
    model->AddModelListener(this);
    FModelChanged = connect(model, &TVxCustomDBStructure::changed, this, &TQueryHistory::modelChanged);
}

QStringList TQueryHistory::modelText() const
{
    if (!FModel)
        return {};
    TStringList lines;
    FModel->SaveToStrings(lines);
    return lines.Lines();
}

void TQueryHistory::queryChanged()
{
    record(FModelOperation);
}

void TQueryHistory::modelChanged()
{
    record(true);
}

void TQueryHistory::record(bool readModel)
{
    if (FRestoring || FDepth == 0)
        return;
    if (modelReplaced()) {
        restart();
        return;
    }
    Parts query = queryParts();
    QStringList model = readModel && FTrackModel ? modelText() : FModelText;
    if (query == FQueryText && model == FModelText)
        return;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    Parts queryBefore = FQueryText;
    QStringList modelBefore = FModelText;
    if (FAmend && FDone > 0 && FDone == static_cast<int>(FSteps.size())) {
        // The same operation of the model goes on: its step grows.
        const Step& last = FSteps.back();
        queryBefore = applyBackward(FQueryText, last.Query);
        if (last.Model)
            modelBefore = applyBackward(FModelText, *last.Model);
        FSteps.pop_back();
        --FDone;
    }
    FSteps.resize(static_cast<std::size_t>(FDone));
    Step step{diff(queryBefore, query), std::nullopt};
    if (model != modelBefore)
        step.Model = diff(modelBefore, model);
    FSteps.push_back(std::move(step));
    ++FDone;
    if (static_cast<int>(FSteps.size()) > FDepth) {
        FSteps.pop_front();
        --FDone;
    }
    FQueryText = std::move(query);
    FModelText = std::move(model);
    FAmend = FModelOperation;
    tell(undoBefore, redoBefore);
}

void TQueryHistory::tell(int undoBefore, int redoBefore)
{
    const int undo = UndoCount();
    const int redo = RedoCount();
    if (undo == undoBefore && redo == redoBefore)
        return;
    emit stateChanged();
    if ((undo > 0) != (undoBefore > 0))
        emit canUndoChanged(undo > 0);
    if ((redo > 0) != (redoBefore > 0))
        emit canRedoChanged(redo > 0);
}

// --- the model's operations

void TQueryHistory::ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval&)
{
    FModelOperation = true;
}

void TQueryHistory::ModelEntitiesUpdated(TVxCustomDBStructure*)
{
    FModelOperation = true;
}

void TQueryHistory::ModelEntitiesRemoved(TVxCustomDBStructure*)
{
    // The query may have repaired itself after the model's own report.
    record(true);
    FModelOperation = false;
    FAmend = false;
}

void TQueryHistory::ModelDestroying(TVxCustomDBStructure*)
{
    // The model forgets its listeners itself; the steps go once it is gone.
    FListened = nullptr;
    FModelOperation = false;
    FAmend = false;
}

} // namespace brindle
