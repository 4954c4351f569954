#pragma once
// TStringList: the ordered list of text lines that every persistent format is
// written into and read from. Each line may point at an object it does not
// own. The name=value, comma-text and text behaviour below is exact, because
// the formats depend on it:
//
// - Values(Name): the first line whose part before the first "=" equals Name,
//   letter case ignored; the value is the text after that "=". SetValue with
//   the empty text deletes that line; with a new name it appends Name=Value.
// - CommaText (read): the items joined by ","; an item holding a character
//   from #0 to blank, a double quote or a comma is written in double quotes
//   with inner quotes doubled; a list of exactly one empty item gives "".
// - SetCommaText: clears, skips leading #1..blank, then reads items: a quoted
//   item (doubled quotes undone) or the characters up to the next comma or
//   character <= blank; blanks are skipped, a comma is skipped with the blanks
//   after it, and a comma that ends the text adds one empty item. So
//   `a b,"c d"` reads as a, b and "c d".
// - Text: the lines each followed by a line feed; SetText splits at CR LF, LF
//   or CR (a final line break adds no empty line).
// An index outside the list raises EListError.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/text_hash.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/object.h>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace brindle {

class BRINDLE_CORE_EXPORT TStringList {
public:
    TStringList() = default;
    TStringList(const QStringList& lines);
    TStringList(std::initializer_list<QString> lines);

    int Count() const { return static_cast<int>(FLines.size()); }
    bool IsEmpty() const { return FLines.isEmpty(); }

    const QString& Strings(int index) const;
    const QString& operator[](int index) const { return Strings(index); }
    void SetString(int index, const QString& text);
    // Appends to a line in place: a line with room to spare grows without
    // being copied.
    void AppendToString(int index, QStringView tail);
    TObject* Objects(int index) const;
    void SetObject(int index, TObject* object);

    int Add(const QString& text);
    int AddObject(const QString& text, TObject* object);
    void Insert(int index, const QString& text);
    void InsertObject(int index, const QString& text, TObject* object);
    void Delete(int index);
    void Move(int from, int to);
    void Exchange(int a, int b);
    void Clear();
    // Makes room for that many lines in all, so appending them never moves
    // the list; room never touched costs no memory.
    void Reserve(qsizetype lines) { FLines.reserve(lines); }
    void AddStrings(const TStringList& other);
    void AddStrings(const QStringList& lines);
    void Assign(const TStringList& other);

    // First line equal to the text, letter case ignored; -1 when none.
    int IndexOf(const QString& text) const;
    int IndexOfObject(const TObject* object) const;
    // First line whose name part equals the name, letter case ignored.
    int IndexOfName(const QString& name) const;

    // The part before the first "=" (the whole line when it has none).
    QString Names(int index) const;
    // The part after the first "=" (empty when it has none).
    QString ValueFromIndex(int index) const;
    QString Values(const QString& name) const;
    void SetValue(const QString& name, const QString& value);

    QString CommaText() const;
    void SetCommaText(const QString& text);
    // The items joined by the delimiter, each quoted when CommaText would quote it.
    QString DelimitedText(QChar delimiter) const;
    // Clears, then splits only at the delimiter (blanks stay inside items); an
    // item that starts with a double quote is read as a quoted item.
    void SetStrictDelimitedText(const QString& text, QChar delimiter);

    QString Text() const;
    void SetText(const QString& text);

    // Reads UTF-8 text, with or without a byte-order mark; raises Exception
    // when the file cannot be read.
    void LoadFromFile(const QString& fileName);
    // Writes the text as UTF-8 without a byte-order mark.
    void SaveToFile(const QString& fileName) const;

    const QStringList& Lines() const { return FLines; }
    auto begin() const { return FLines.begin(); }
    auto end() const { return FLines.end(); }

    // Equal lines; the objects are not compared.
    friend bool operator==(const TStringList& a, const TStringList& b) { return a.FLines == b.FLines; }

private:
    int check(int index) const;

    // Objects are rare: until one is set, FObjects stays empty and every
    // line's object is none; afterwards it runs parallel to FLines.
    void materializeObjects();

    // A long list is searched by name through an index of each name's first
    // line, made at the first search and kept up by appends; any other
    // change of the lines drops it. Copies start without one.
    struct NameIndex {
        std::unique_ptr<TextHash<int>> Lines;
        QString Key;
        NameIndex() = default;
        NameIndex(const NameIndex&) {}
        NameIndex& operator=(const NameIndex&)
        {
            Lines.reset();
            return *this;
        }
        NameIndex(NameIndex&&) noexcept = default;
        NameIndex& operator=(NameIndex&&) noexcept = default;
    };
    void dropNameIndex() { FNameIndex.Lines.reset(); }
    void indexName(int index) const;

    QStringList FLines;
    QList<TObject*> FObjects;
    mutable NameIndex FNameIndex;
};

} // namespace brindle
