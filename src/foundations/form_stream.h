#pragma once
// The form stream layer: components keep their state in a text form file and
// are read back from it, as a host form would hold them.
//
// A form file lists components by name and class. Each component writes its
// published properties (Q_PROPERTY: texts, numbers, flags, text lists,
// references to other components by name, and the properties of owned
// sub-objects as "Object.Property") and its defined properties: named blocks
// of text lines that a component supplies through DefineProperties. Reading
// creates the components through the class registry, tells each that it is
// being loaded, sets the properties and hands over the blocks, resolves the
// references by name once every component exists, and then calls Loaded on
// each, in file order.
//
//   form MainForm
//     component Model: TVxDBStructure
//       StoreStruct = true
//       SQLFormats.Date = "yyyy-mm-dd"
//       DatabaseInfo = @Info
//       ExOperators = ["xoInList", "xoBetween"]
//       data Struct
//         | [Main]
//         | Version=3.6
//       end
//     end
//   end
//
// Texts are in double quotes with \" \\ \n \r \t and \uXXXX escapes; a data
// line is "|", one blank, and the line as it is. A defined set property, which
// older forms hold and nothing writes any more, reads "Options = [a, b]".

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/string_list.h>

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

namespace brindle {

// A form file that cannot be read, with the line at fault.
BRINDLE_DECLARE_EXCEPTION(EFormStreamError, Exception)

// Collects the defined properties of one component, for writing or reading.
class BRINDLE_CORE_EXPORT TFormFiler {
public:
    using ReadFunc = std::function<void(const TStringList& lines)>;
    using WriteFunc = std::function<void(TStringList& lines)>;
    using SetReadFunc = std::function<void(const QStringList& names)>;

    // hasData: whether the writer has anything to store (a block is written
    // only then).
    void DefineProperty(const QString& name, ReadFunc reader, WriteFunc writer, bool hasData);
    // A property read as a set of names, never written. A value that is not
    // a set in square brackets is an invalid property value.
    void DefineSetProperty(const QString& name, SetReadFunc reader);

    struct DefinedProperty {
        QString Name;
        ReadFunc Reader;
        WriteFunc Writer;
        bool HasData;
        SetReadFunc SetReader;
    };
    const std::vector<DefinedProperty>& Properties() const { return FProperties; }

private:
    std::vector<DefinedProperty> FProperties;
};

// What a component implements to take part beyond its published properties.
class BRINDLE_CORE_EXPORT IFormComponent {
public:
    virtual ~IFormComponent();
    virtual void DefineProperties(TFormFiler& filer);
    // Reading of this component begins: properties and blocks follow.
    virtual void BeginLoading();
    // Every component of the form is read and its references resolved.
    virtual void Loaded();
};

// The classes a form may create, by the name the file gives them.
class BRINDLE_CORE_EXPORT TFormClasses {
public:
    using Factory = std::function<QObject*(QObject* owner)>;
    static void Register(const QString& name, const QMetaObject* meta, Factory factory);
    template <typename T>
    static void Register(const QString& name)
    {
        Register(name, &T::staticMetaObject, [](QObject* owner) { return new T(owner); });
    }
    // The registered name of an object's own class; empty when unregistered.
    static QString NameOf(const QObject* object);
    static QObject* Create(const QString& name, QObject* owner);
};

// Writes a form holding the components, in the given order.
BRINDLE_CORE_EXPORT void WriteForm(const QString& formName, const QList<QObject*>& components,
                                   TStringList& out);
// Reads a form: the new components become Qt children of the owner and are
// returned in file order. Raises EFormStreamError on a malformed file, an
// unknown class, property or reference; components made before the fault
// are freed.
BRINDLE_CORE_EXPORT QList<QObject*> ReadForm(const TStringList& text, QObject* owner);

BRINDLE_CORE_EXPORT void SaveFormToFile(const QString& fileName, const QString& formName,
                                        const QList<QObject*>& components);
BRINDLE_CORE_EXPORT QList<QObject*> LoadFormFromFile(const QString& fileName, QObject* owner);

} // namespace brindle
