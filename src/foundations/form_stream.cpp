#include <brindle/foundations/form_stream.h>

#include <QHash>
#include <QMetaProperty>

#include <memory>

namespace brindle {

void TFormFiler::DefineProperty(const QString& name, ReadFunc reader, WriteFunc writer, bool hasData)
{
    FProperties.push_back({name, std::move(reader), std::move(writer), hasData, {}});
}

void TFormFiler::DefineSetProperty(const QString& name, SetReadFunc reader)
{
    FProperties.push_back({name, {}, {}, false, std::move(reader)});
}

IFormComponent::~IFormComponent() = default;
void IFormComponent::DefineProperties(TFormFiler&) {}
void IFormComponent::BeginLoading() {}
void IFormComponent::Loaded() {}

namespace {

struct ClassEntry {
    QString name;
    const QMetaObject* meta;
    TFormClasses::Factory factory;
};

std::vector<ClassEntry>& registry()
{
    static std::vector<ClassEntry> entries;
    return entries;
}

[[noreturn]] void fail(int line, const QString& message)
{
    throw EFormStreamError(QStringLiteral("Form line %d: %s"), {line, message});
}

bool isObjectPointer(const QMetaProperty& p)
{
    return p.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

// --- values

QString quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

// Reads a quoted text at pos; pos ends after the closing quote.
QString unquote(const QString& text, qsizetype& pos, int line)
{
    if (pos >= text.size() || text.at(pos) != u'"')
        fail(line, QStringLiteral("a text in double quotes expected"));
    QString out;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c == u'"')
            return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= text.size())
            break;
        const QChar e = text.at(pos++);
        switch (e.unicode()) {
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'u': {
            bool ok = false;
            const uint code = text.mid(pos, 4).toUInt(&ok, 16);
            if (!ok || pos + 4 > text.size())
                fail(line, QStringLiteral("a bad \\u escape"));
            out += QChar(static_cast<char16_t>(code));
            pos += 4;
            break;
        }
        default: out += e;
        }
    }
    fail(line, QStringLiteral("a text without its closing quote"));
}

QString encodeValue(const QVariant& value, int typeId)
{
    switch (typeId) {
    case QMetaType::QString: return quote(value.toString());
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return value.toString();
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QStringList: {
        QStringList items;
        for (const QString& item : value.toStringList())
            items.append(quote(item));
        return u'[' + items.join(QStringLiteral(", ")) + u']';
    }
    default: return {};
    }
}

enum class ListKind {
    // A string list property: quoted texts only; a comma may end the list.
    Texts,
    // A set: identifiers or quoted texts; a comma may not end the set.
    Names,
};

// Reads "[" items "]", the items separated by commas. Gives why the text is
// no such list, empty when it is one; a malformed quoted text raises at once.
QString readList(const QString& text, ListKind kind, QStringList& items, int line)
{
    if (!text.startsWith(u'[') || !text.endsWith(u']'))
        return QStringLiteral("a list in square brackets expected");
    qsizetype pos = 1;
    const qsizetype end = text.size() - 1;
    auto skipBlanks = [&] {
        while (pos < end && text.at(pos).isSpace())
            ++pos;
    };
    skipBlanks();
    while (pos < end) {
        if (kind == ListKind::Texts || text.at(pos) == u'"') {
            items.append(unquote(text, pos, line));
        } else {
            const qsizetype start = pos;
            while (pos < end && (text.at(pos).isLetterOrNumber() || text.at(pos) == u'_'))
                ++pos;
            if (pos == start)
                return QStringLiteral("a name or a text in double quotes expected");
            items.append(text.mid(start, pos - start));
        }
        skipBlanks();
        if (pos < end) {
            if (text.at(pos) != u',')
                return QStringLiteral("a comma between list items expected");
            ++pos;
            skipBlanks();
            if (pos == end && kind == ListKind::Names)
                return QStringLiteral("a name after the last comma expected");
        }
    }
    return {};
}

QVariant decodeValue(const QString& text, const QMetaProperty& p, int line)
{
    const int typeId = p.metaType().id();
    switch (typeId) {
    case QMetaType::QString: {
        qsizetype pos = 0;
        const QString value = unquote(text, pos, line);
        if (pos != text.size())
            fail(line, QStringLiteral("text after the value"));
        return value;
    }
    case QMetaType::Bool:
        if (text == QStringLiteral("true"))
            return true;
        if (text == QStringLiteral("false"))
            return false;
        fail(line, QStringLiteral("true or false expected"));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok)
            fail(line, QStringLiteral("a number expected"));
        QVariant v = typeId == QMetaType::Double ? QVariant(number) : QVariant(text.toLongLong(&ok));
        if (!ok || !v.convert(p.metaType()))
            fail(line, QStringLiteral("a whole number in range expected"));
        return v;
    }
    case QMetaType::QStringList: {
        QStringList items;
        const QString fault = readList(text, ListKind::Texts, items, line);
        if (!fault.isEmpty())
            fail(line, fault);
        return items;
    }
    default:
        fail(line, QStringLiteral("property %1 has a type forms cannot hold").arg(QLatin1String(p.name())));
    }
}

// --- writing

void writeProperties(const QObject* object, const QString& prefix, const QString& indent, TStringList& out)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isStored() || !p.isReadable())
            continue;
        const QString name = prefix + QLatin1String(p.name());
        const QVariant value = p.read(object);
        if (isObjectPointer(p)) {
            const QObject* target = value.value<QObject*>();
            if (!target)
                continue;
            if (p.isWritable()) {
                if (target->objectName().isEmpty())
                    throw EFormStreamError(QStringLiteral("Property %s refers to a component without a name"), {name});
                out.Add(indent + name + QStringLiteral(" = @") + target->objectName());
            } else if (target->parent() == object) {
                writeProperties(target, name + u'.', indent, out);
            }
            continue;
        }
        if (!p.isWritable())
            continue;
        const QString text = encodeValue(value, p.metaType().id());
        if (text.isEmpty())
            throw EFormStreamError(QStringLiteral("Property %s has a type forms cannot hold"), {name});
        out.Add(indent + name + QStringLiteral(" = ") + text);
    }
}

// --- reading

struct PendingReference {
    QObject* object;
    QMetaProperty property;
    QString target;
    int line;
};

struct ReadState {
    QList<QObject*> components;
    std::vector<PendingReference> references;
};

// Finds the object and property that a possibly dotted name denotes.
std::pair<QObject*, QMetaProperty> resolveProperty(QObject* component, const QString& dotted, int line)
{
    QObject* object = component;
    const QStringList parts = dotted.split(u'.');
    for (int i = 0; i < parts.size(); ++i) {
        const QMetaObject* meta = object->metaObject();
        const int index = meta->indexOfProperty(parts.at(i).toLatin1().constData());
        if (index < QObject::staticMetaObject.propertyCount())
            fail(line, QStringLiteral("%1 has no property %2").arg(QLatin1String(meta->className()), parts.at(i)));
        const QMetaProperty p = meta->property(index);
        if (i + 1 == parts.size())
            return {object, p};
        QObject* sub = isObjectPointer(p) ? p.read(object).value<QObject*>() : nullptr;
        if (!sub || sub->parent() != object)
            fail(line, QStringLiteral("%1 is not a part of its component").arg(parts.at(i)));
        object = sub;
    }
    fail(line, QStringLiteral("an empty property name"));
}

void setProperty(ReadState& state, QObject* component, const QString& name, const QString& valueText, int line)
{
    auto [object, p] = resolveProperty(component, name, line);
    if (isObjectPointer(p)) {
        if (!p.isWritable())
            fail(line, QStringLiteral("property %1 cannot be set").arg(name));
        if (valueText == QStringLiteral("nil")) {
            p.write(object, QVariant::fromValue<QObject*>(nullptr));
            return;
        }
        if (!valueText.startsWith(u'@') || valueText.size() < 2)
            fail(line, QStringLiteral("a reference @Name expected"));
        state.references.push_back({object, p, valueText.mid(1), line});
        return;
    }
    if (!p.isWritable())
        fail(line, QStringLiteral("property %1 cannot be set").arg(name));
    if (!p.write(object, decodeValue(valueText, p, line)))
        fail(line, QStringLiteral("property %1 does not take that value").arg(name));
}

// Reads a form a line at a time; the level tells which lines may come next.
// The components made so far are the caller's to free when reading fails.
class FormReader {
public:
    explicit FormReader(QObject* owner) : FOwner(owner) {}

    void readLine(int line, const QString& raw);
    // Checks that the form was closed, then sets the references, which may
    // point forward, and tells the components that loading is over.
    void finish(int lastLine);
    const QList<QObject*>& components() const { return FState.components; }

private:
    enum class Level { Outside, Form, Component, Data, Done };

    void readDataLine(int line, const QString& raw);
    void beginComponent(int line, const QString& trimmed);
    void readComponentLine(int line, const QString& trimmed);
    void beginData(int line, const QString& name);
    void resolveReferences();

    QObject* FOwner;
    ReadState FState;
    Level FLevel = Level::Outside;
    QObject* FComponent = nullptr;
    TFormFiler FFiler;
    const TFormFiler::DefinedProperty* FData = nullptr;
    TStringList FDataLines;
};

void FormReader::readLine(int line, const QString& raw)
{
    // Data lines, nearly all of a form's lines, are read without copies.
    if (FLevel == Level::Data) {
        readDataLine(line, raw);
        return;
    }
    const QString t = raw.trimmed();
    if (t.isEmpty() || t.startsWith(u'#'))
        return;
    switch (FLevel) {
    case Level::Outside:
        if (!t.startsWith(QStringLiteral("form ")) && t != QStringLiteral("form"))
            fail(line, QStringLiteral("a form must begin with \"form\""));
        FLevel = Level::Form;
        break;
    case Level::Form:
        if (t == QStringLiteral("end"))
            FLevel = Level::Done;
        else
            beginComponent(line, t);
        break;
    case Level::Component:
        if (t == QStringLiteral("end"))
            FLevel = Level::Form;
        else if (t.startsWith(QStringLiteral("data ")))
            beginData(line, t.mid(5).trimmed());
        else
            readComponentLine(line, t);
        break;
    case Level::Done:
        fail(line, QStringLiteral("text after the end of the form"));
    case Level::Data:
        break;
    }
}

// Data lines are kept as written, blanks and all, up to the "end".
void FormReader::readDataLine(int line, const QString& raw)
{
    const QStringView view(raw);
    if (view.trimmed() == u"end") {
        FData->Reader(FDataLines);
        FLevel = Level::Component;
        return;
    }
    const qsizetype bar = view.indexOf(u'|');
    if (bar < 0 || !view.left(bar).trimmed().isEmpty())
        fail(line, QStringLiteral("a data line must start with |"));
    // "| " then the line as it is; a bare "|" is an empty line.
    FDataLines.Add(raw.mid(bar + (view.mid(bar + 1, 1) == u" " ? 2 : 1)));
}

void FormReader::beginComponent(int line, const QString& trimmed)
{
    if (!trimmed.startsWith(QStringLiteral("component ")))
        fail(line, QStringLiteral("\"component Name: Class\" expected"));
    const QString decl = trimmed.mid(10);
    const qsizetype colon = decl.indexOf(u':');
    if (colon < 0)
        fail(line, QStringLiteral("\"component Name: Class\" expected"));
    const QString name = decl.left(colon).trimmed();
    const QString className = decl.mid(colon + 1).trimmed();
    if (name.isEmpty())
        fail(line, QStringLiteral("a component needs a name"));
    for (const QObject* other : FState.components)
        if (other->objectName() == name)
            fail(line, QStringLiteral("the name %1 is used twice").arg(name));
    FComponent = TFormClasses::Create(className, FOwner);
    if (!FComponent)
        fail(line, QStringLiteral("unknown class %1").arg(className));
    FComponent->setObjectName(name);
    FState.components.append(FComponent);
    FFiler = TFormFiler();
    if (auto* c = dynamic_cast<IFormComponent*>(FComponent)) {
        c->BeginLoading();
        c->DefineProperties(FFiler);
    }
    FLevel = Level::Component;
}

void FormReader::beginData(int line, const QString& name)
{
    FData = nullptr;
    for (const auto& d : FFiler.Properties())
        if (d.Name == name)
            FData = &d;
    if (!FData || !FData->Reader)
        fail(line, QStringLiteral("%1 has no data %2").arg(TFormClasses::NameOf(FComponent), name));
    FDataLines.Clear();
    FLevel = Level::Data;
}

// "Property = value"; a set the component defines itself is handed to it.
void FormReader::readComponentLine(int line, const QString& trimmed)
{
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        fail(line, QStringLiteral("\"Property = value\" expected"));
    const QString name = trimmed.left(eq).trimmed();
    const QString value = trimmed.mid(eq + 1).trimmed();
    const TFormFiler::DefinedProperty* set = nullptr;
    for (const auto& d : FFiler.Properties())
        if (d.SetReader && d.Name == name)
            set = &d;
    if (!set) {
        setProperty(FState, FComponent, name, value, line);
        return;
    }
    QStringList names;
    if (!readList(value, ListKind::Names, names, line).isEmpty())
        fail(line, QStringLiteral("Invalid property value"));
    set->SetReader(names);
}

void FormReader::finish(int lastLine)
{
    if (FLevel != Level::Done)
        fail(lastLine, QStringLiteral("the form ends before its \"end\""));
    resolveReferences();
    for (QObject* c : FState.components)
        if (auto* fc = dynamic_cast<IFormComponent*>(c))
            fc->Loaded();
}

void FormReader::resolveReferences()
{
    for (const PendingReference& r : FState.references) {
        QObject* target = nullptr;
        for (QObject* c : FState.components)
            if (c->objectName() == r.target)
                target = c;
        if (!target)
            fail(r.line, QStringLiteral("no component named %1").arg(r.target));
        if (!target->metaObject()->inherits(r.property.metaType().metaObject()))
            fail(r.line, QStringLiteral("%1 is not a %2")
                             .arg(r.target, QLatin1String(r.property.metaType().metaObject()->className())));
        r.property.write(r.object, QVariant::fromValue(target));
    }
}

} // namespace

void TFormClasses::Register(const QString& name, const QMetaObject* meta, Factory factory)
{
    for (ClassEntry& e : registry())
        if (e.name == name) {
            e.meta = meta;
            e.factory = std::move(factory);
            return;
        }
    registry().push_back({name, meta, std::move(factory)});
}

QString TFormClasses::NameOf(const QObject* object)
{
    for (const ClassEntry& e : registry())
        if (e.meta == object->metaObject())
            return e.name;
    return {};
}

QObject* TFormClasses::Create(const QString& name, QObject* owner)
{
    for (const ClassEntry& e : registry())
        if (e.name == name)
            return e.factory(owner);
    return nullptr;
}

void WriteForm(const QString& formName, const QList<QObject*>& components, TStringList& out)
{
    out.Clear();
    out.Add(QStringLiteral("form ") + formName);
    for (QObject* component : components) {
        const QString className = TFormClasses::NameOf(component);
        if (className.isEmpty())
            throw EFormStreamError(QStringLiteral("Class %s is not registered for forms"),
                                   {QLatin1String(component->metaObject()->className())});
        if (component->objectName().isEmpty())
            throw EFormStreamError(QStringLiteral("A component of class %s has no name"), {className});
        out.Add(QStringLiteral("  component %1: %2").arg(component->objectName(), className));
        writeProperties(component, QString(), QStringLiteral("    "), out);
        if (auto* c = dynamic_cast<IFormComponent*>(component)) {
            TFormFiler filer;
            c->DefineProperties(filer);
            for (const auto& d : filer.Properties()) {
                if (!d.HasData || !d.Writer)
                    continue;
                TStringList lines;
                d.Writer(lines);
                out.Add(QStringLiteral("    data ") + d.Name);
                for (const QString& line : lines)
                    out.Add(QStringLiteral("      | ") + line);
                out.Add(QStringLiteral("    end"));
            }
        }
        out.Add(QStringLiteral("  end"));
    }
    out.Add(QStringLiteral("end"));
}

QList<QObject*> ReadForm(const TStringList& text, QObject* owner)
{
    FormReader reader(owner);
    try {
        for (int i = 0; i < text.Count(); ++i)
            reader.readLine(i + 1, text[i]);
        reader.finish(text.Count());
    } catch (...) {
        qDeleteAll(reader.components());
        throw;
    }
    return reader.components();
}

void SaveFormToFile(const QString& fileName, const QString& formName, const QList<QObject*>& components)
{
    TStringList lines;
    WriteForm(formName, components, lines);
    lines.SaveToFile(fileName);
}

QList<QObject*> LoadFormFromFile(const QString& fileName, QObject* owner)
{
    TStringList lines;
    lines.LoadFromFile(fileName);
    return ReadForm(lines, owner);
}

} // namespace brindle
