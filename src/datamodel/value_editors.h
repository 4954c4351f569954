#pragma once
// Value editor descriptors: how the query panel lets a user enter a value of
// a field or of a predefined condition's value slot. They hold settings only
// and draw nothing. A field owns its editor; condition values share theirs.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/string_list.h>

namespace brindle {

class TVxCustomDBStructure;

class BRINDLE_CORE_EXPORT TDSValueEditor : public TObject {
public:
    virtual void Refresh();
};

class BRINDLE_CORE_EXPORT TDSTextEditor : public TDSValueEditor {
public:
    // Option bits.
    static constexpr int AutoUpperCaseBit = 1;
    static constexpr int AutoLowerCaseBit = 2;

    int Options() const { return FOptions; }
    void SetOptions(int options) { FOptions = options; }
    // True when all bits of the asked value are set.
    bool HasOption(int bits) const { return (FOptions & bits) == bits; }
    bool AutoUpperCase() const { return HasOption(AutoUpperCaseBit); }
    // Setting one case option clears the other; clearing leaves the other.
    void SetAutoUpperCase(bool on);
    bool AutoLowerCase() const { return HasOption(AutoLowerCaseBit); }
    void SetAutoLowerCase(bool on);

    QString DefaultValue;
    QString EditMask;
    TTextEditorKind Kind = tekSimple;
    // 0 string, 1 integer, 2 float (not the drop-down labels' TValueType order).
    quint8 ValueType = 0;
    bool UseFormattedValue = false;

private:
    int FOptions = 0;
};

class BRINDLE_CORE_EXPORT TDSListEditor : public TDSValueEditor {
public:
    TStringList Items;  // captions shown
    TStringList Values; // values written into SQL, parallel to Items
};

// A list that a lookup query of the model's database info component fills.
class BRINDLE_CORE_EXPORT TDSSQLEditor : public TDSListEditor {
public:
    explicit TDSSQLEditor(TVxCustomDBStructure* dbStruct);

    bool Opened() const { return FOpened; }
    // Opening needs the model's database info (code 11 without one) and runs
    // SQLText through it; closing empties Items and Values.
    void SetOpened(bool open);
    void Refresh() override;

    // SQL with every ":name" replaced by the value of its SQLParams line, in order.
    QString SQLText() const;
    bool HasParameter(const QString& name) const;
    const TStringList& SQLParams() const { return FSQLParams; }
    // A list with another text replaces the parameters and closes the editor.
    void SetSQLParams(const TStringList& params);

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    // The model whose database info runs the lookup, as its field moves to another.
    void SetDBStruct(TVxCustomDBStructure* dbStruct) { FDBStruct = dbStruct; }
    TStringList SQL;

private:
    bool FOpened = false;
    TStringList FSQLParams;
    TVxCustomDBStructure* FDBStruct;
};

// An editor the host supplies through the panel's custom-edit event.
class BRINDLE_CORE_EXPORT TDSCustomEditor : public TDSValueEditor {
public:
    TStringList& Data() { return FData; }
    const TStringList& Data() const { return FData; }

private:
    TStringList FData;
};

// Holds the stored text of a sub-query value.
class BRINDLE_CORE_EXPORT TDSSubQueryEditor : public TDSValueEditor {
public:
    TStringList& QueryData() { return FQueryData; }
    const TStringList& QueryData() const { return FQueryData; }

private:
    TStringList FQueryData;
};

} // namespace brindle
