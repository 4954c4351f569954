#pragma once

// The query's titles: the lines it shows and stores, the defaults and the
// full set stored titles merge into, and the look-ups rows make from them.
// Not installed: the query's public title calls lead here.

#include <brindle/query/query.h>
#include <brindle/query/words.h>

#include <brindle/foundations/text_hash.h>

#include <memory>

namespace brindle {

class QueryTitles {
public:
    QueryTitles();

    const TStringList& Lines() const { return FLines; }
    // Writable lines: the next look-up reads them anew.
    TStringList& EditLines();
    const TStringList& Defaults() const { return FDefaults; }
    const TStringList& Full() const { return FFull; }
    void LoadDefaults();

    QString Get(const QString& name) const;
    // Only a title the lines hold changes; an empty text removes it.
    void Set(const QString& name, const QString& text);
    // The lines merged into the defaults.
    void Merge(const TStringList& lines);
    // A text's titles merged into the full set, as a loaded text takes them.
    void MergeStored(TStringList& source);
    // The form stream's lines, merged once the stream is read (Settle).
    void SetStreamed(const TStringList& lines);
    void Settle();
    // Titles of texts older than 2.2: "Title0"... values by the fixed keys.
    void LoadOld(const TStringList& lines);
    // Titles of the oldest component streams: one text per line.
    void MergeDFM(const TStringList& lines);

    const TVxQuery::BracketWords& Bracket(bool root) const;
    const std::shared_ptr<WordItems>& LinkWordItems() const;
    std::shared_ptr<const WordItems> LinkTypeItems(TFilterLinkTypes types) const;
    QString LinkTypeWord(TFilterLinkType linkType) const;

private:
    void ensureIndex() const;

    TStringList FLines;
    TStringList FDefaults;
    TStringList FFull;
    // Title look-ups run for every row made; the lines are indexed by name,
    // case-folded and as spelt in the titles.
    mutable TextHash<QString> FIndex;
    mutable TextHash<QString> FExact;
    mutable bool FIndexValid = false;
    // The captions of the link word, "and" then "or", made with the index.
    mutable std::shared_ptr<WordItems> FLinkWordItems;
    mutable TVxQuery::BracketWords FBrackets[2];
    mutable std::shared_ptr<WordItems> FLinkTypeItems;
    mutable TFilterLinkTypes FLinkTypeItemsFor;
};

} // namespace brindle
