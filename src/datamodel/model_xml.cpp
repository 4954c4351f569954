// The data model's XML document, written with QXmlStreamWriter and read
// into a light tree of its own, by a plain pass where it can and by
// QXmlStreamReader where it cannot (XmlTree). QDomDocument would do
// neither well: it saves attributes in hash order, which changes from run to
// run, and building its tree of a 20,000-field model takes it four times as
// long as reading the text.

#include <brindle/datamodel/model_xml.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/text_utils.h>

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace brindle {

namespace {

// --- names both sides use

struct TypeName {
    TFieldType type;
    const char* name;
};

// The field types with a name of their own; every other type is "Unknown".
// Where two types share a name, the first is the one the name reads as.
constexpr TypeName kTypeNames[] = {
    {ftString, "String"},       {ftWord, "Word"},         {ftSmallint, "Word"},
    {ftInteger, "Int"},         {ftBoolean, "Bool"},      {ftFloat, "Float"},
    {ftCurrency, "Currency"},   {ftBCD, "BCD"},           {ftDate, "Date"},
    {ftTime, "Time"},           {ftDateTime, "DateTime"}, {ftTimeStamp, "DateTime"},
    {ftAutoInc, "Autoinc"},     {ftMemo, "Memo"},         {ftBlob, "Memo"},
    {ftFixedChar, "FixedChar"}, {ftWideString, "WideString"}, {ftLargeint, "Int64"},
};

QString typeName(TFieldType type)
{
    for (const TypeName& t : kTypeNames)
        if (t.type == type)
            return QLatin1String(t.name);
    return QStringLiteral("Unknown");
}

TFieldType typeByName(QStringView name)
{
    for (const TypeName& t : kTypeNames)
        if (name == QLatin1String(t.name))
            return t.type;
    return ftUnknown;
}

const QString kExpr1 = QStringLiteral("{expr1}");
const QString kExpr2 = QStringLiteral("{expr2}");
const QString kExpr3 = QStringLiteral("{expr3}");

// --- writing

// Replaces the token around the first occurrence of the placeholder, from
// the nearest single quote before it to the nearest one after it (each side
// the placeholder's own end when there is no quote), wherever it occurs.
QString replacePlaceholderToken(const QString& text, const QString& placeholder, const QString& by)
{
    const qsizetype at = text.indexOf(placeholder);
    if (at < 0)
        return text;
    const qsizetype open = at > 0 ? text.lastIndexOf(u'\'', at - 1) : -1;
    const qsizetype close = text.indexOf(u'\'', at + placeholder.size());
    const qsizetype from = open >= 0 ? open : at;
    const qsizetype to = close >= 0 ? close + 1 : at + placeholder.size();
    return ReplaceStr(text, text.mid(from, to - from), by);
}

QString templateToXml(const QString& sql)
{
    QString text = ReplaceStr(sql, QStringLiteral("@f"), kExpr1);
    text = replacePlaceholderToken(text, QStringLiteral("@1"), kExpr2);
    return replacePlaceholderToken(text, QStringLiteral("@2"), kExpr3);
}

QString operatorFormat(const TDSOperator& op)
{
    QString format = kExpr1 + QStringLiteral(" {op}");
    if (op.ParamCount() >= 1)
        format += u' ' + kExpr2;
    if (op.ParamCount() >= 2)
        format += u' ' + op.ValFormat() + u' ' + kExpr3;
    return format;
}

QString valueKindName(TValueKind kind)
{
    return kind == vkSubQuery ? QStringLiteral("Query") : ValueKindToStr(kind).mid(2);
}

QString appliedTypeNames(TAppliedTypes types)
{
    QStringList names;
    for (int t = 0; t < FieldTypeCount; ++t)
        if (types.Contains(static_cast<TFieldType>(t)))
            names.append(typeName(static_cast<TFieldType>(t)));
    return names.join(u',');
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text without the characters XML 1.0 cannot carry (controls, U+FFFE,
// U+FFFF, unpaired surrogates); most texts come back as they are.
QString xmlText(const QString& text)
{
    QString kept;
    bool dropped = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        qsizetype width = 1;
        bool ok;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            width = 2;
            ok = true;
        } else {
            ok = !c.isSurrogate() && isXmlChar(c.unicode());
        }
        if (!ok && !dropped) {
            kept = text.left(i);
            dropped = true;
        } else if (ok && dropped) {
            kept += QStringView(text).mid(i, width);
        }
        i += width - 1;
    }
    return dropped ? kept : text;
}

bool isXmlName(const QString& name)
{
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_'))
        return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.'))
            return false;
    return true;
}

// Writes into a short buffer and hands each completed line over to the
// list as it goes, so a large model never holds its document twice (the
// whole text and its lines) and the buffer stays in the caches.
class XmlWriter {
public:
    explicit XmlWriter(TStringList& lines) : lines(lines), w(&out)
    {
        w.setAutoFormatting(true);
        w.setAutoFormattingIndent(2);
    }

    void write(TVxCustomDBStructure& m);

private:
    void start(const char* name) { w.writeStartElement(QLatin1String(name)); }
    void empty(const char* name) { w.writeEmptyElement(QLatin1String(name)); }
    void end() { w.writeEndElement(); }
    void attr(const char* name, const QString& value) { w.writeAttribute(QLatin1String(name), xmlText(value)); }
    void attr(const char* name, bool value)
    {
        w.writeAttribute(QLatin1String(name), value ? QStringLiteral("true") : QStringLiteral("false"));
    }
    void text(const QString& name, const QString& value) { w.writeTextElement(name, xmlText(value)); }
    void text(const char* name, const QString& value) { text(QLatin1String(name), value); }

    void writeDBParams(const TVxCustomDBStructure& m);
    void writeCustomInfo(const TVxCustomDBStructure& m);
    void writeOperators(const TVxCustomDBStructure& m);
    void writeTables(const TVxCustomDBStructure& m);
    void writeLinks(const TVxCustomDBStructure& m);
    void writeLink(const TDSLink& link);
    void writeEntities(const TVxCustomDBStructure& m);
    void writeGroup(const TDSFieldGroup& group, int depth);
    bool writePlainField(const TDSField& field, int depth);
    void writeField(const TDSField& field);
    void writeEditor(const TDSField& field);
    // Moves the lines the buffer has completed to the list; with the last,
    // also the text after the last line break, unless empty. The
    // indentation puts a line break before the declaration, which makes no
    // line.
    void flush(bool last = false);

    // The operator names of each distinct list of operators: a large model
    // has a handful of lists, shared by thousands of fields.
    const QString& operatorNames(const TDSField& field);

    TStringList& lines;
    QString out;
    std::map<std::vector<const TDSOperator*>, QString> namesOfOperators;
    std::vector<const TDSOperator*> operatorsKey;
    bool started = false;
    bool skipBreak = false; // the buffer's first line break ends a line already handed over
    QXmlStreamWriter w;
};

void XmlWriter::flush(bool last)
{
    qsizetype from = 0;
    for (qsizetype at = out.indexOf(u'\n'); at >= 0; at = out.indexOf(u'\n', from)) {
        if ((started || at > 0) && !(skipBreak && at == 0))
            lines.Add(out.mid(from, at - from));
        started = true;
        skipBreak = false;
        from = at + 1;
    }
    if (last) {
        if (from < out.size())
            lines.Add(out.mid(from));
        out.clear();
    } else {
        out.remove(0, from);
    }
}

void XmlWriter::write(TVxCustomDBStructure& m)
{
    w.writeProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version=\"1.0\""));
    start("DataModel");
    attr("formatVersion", QStringLiteral("3"));
    if (m.CaseInsensitiveLike())
        attr("caseInsensitiveLike", true);
    writeDBParams(m);
    text("Description", m.Description);
    writeCustomInfo(m);
    writeOperators(m);
    writeTables(m);
    writeLinks(m);
    writeEntities(m);
    end();
    flush(true);
}

void XmlWriter::writeDBParams(const TVxCustomDBStructure& m)
{
    start("DBParams");
    if (TVxDBInfo* info = m.DatabaseInfo()) {
        TStringList settings;
        info->SaveInfo(settings);
        for (int i = 0; i < settings.Count(); ++i)
            if (isXmlName(settings.Names(i)))
                text(settings.Names(i), settings.ValueFromIndex(i));
    }
    end();
}

void XmlWriter::writeCustomInfo(const TVxCustomDBStructure& m)
{
    const QVariantMap custom = m.CustomInfo.Data.toMap();
    start("CustomInfo");
    for (const char* key : {"DSN", "UserName", "Password"})
        text(key, custom.value(QLatin1String(key)).toString());
    end();
}

void XmlWriter::writeOperators(const TVxCustomDBStructure& m)
{
    start("Operators");
    for (int i = 0; i < m.OperatCount(); ++i) {
        const TDSOperator* op = m.Operators(i);
        start("Operator");
        // Operator names are 8-bit texts in the format.
        attr("id", FromAnsi(ToAnsi(op->Name())));
        attr("caption", op->DisplayName());
        attr("expr", templateToXml(op->SQLExpr()));
        attr("format", operatorFormat(*op));
        attr("kind", valueKindName(op->ValueKind()));
        text("Types", appliedTypeNames(op->AppliedTypes));
        end();
    }
    end();
}

void XmlWriter::writeTables(const TVxCustomDBStructure& m)
{
    start("Tables");
    for (int i = 0; i < m.TableCount(); ++i) {
        const TDSTable* table = m.Tables(i);
        empty("Table");
        attr("name", table->TableName());
        attr("alias", table->TableAlias());
        attr("db", table->DatabaseName());
        attr("hints", table->TableHints());
        flush();
    }
    end();
}

void XmlWriter::writeLinks(const TVxCustomDBStructure& m)
{
    start("Links");
    for (int i = 0; i < m.LinkCount(); ++i) {
        writeLink(*m.Links(i));
        flush();
    }
    end();
}

// Each column pair is a condition whose type tells, side by side, a constant
// ("C", stored with "val:") from a column ("F").
void XmlWriter::writeLink(const TDSLink& link)
{
    static const char* const kLinkTypes[] = {"Inner", "Left", "Right", "Full"};
    const QString valuePrefix = QStringLiteral("val:");
    const auto side = [&valuePrefix](const QString& expr) {
        return expr.startsWith(valuePrefix) || expr.startsWith(QStringLiteral("fld:")) ? expr.mid(4) : expr;
    };
    const auto at = [](const TStringList& list, int index) { return index < list.Count() ? list[index] : QString(); };
    start("Link");
    attr("table1", link.Table1() ? link.Table1()->TableAlias() : QString());
    attr("table2", link.Table2() ? link.Table2()->TableAlias() : QString());
    attr("type", QString::fromLatin1(kLinkTypes[link.LinkType()]));
    attr("QF", link.QuoteFields());
    for (int p = 0; p < link.Fields1().Count(); ++p) {
        const QString expr1 = link.Fields1()[p];
        const QString expr2 = at(link.Fields2(), p);
        empty("Condition");
        attr("type", QString(expr1.startsWith(valuePrefix) ? u'C' : u'F') + (expr2.startsWith(valuePrefix) ? u'C' : u'F'));
        attr("expr1", side(expr1));
        attr("expr2", side(expr2));
        attr("op", at(link.Operators(), p));
    }
    end();
}

void XmlWriter::writeEntities(const TVxCustomDBStructure& m)
{
    start("Entities");
    writeGroup(*m.RootGroup(), 2);
    for (int i = 0; i < m.FieldGroups().Count(); ++i) {
        start("Entity");
        writeGroup(*m.FieldGroups()[i], 3);
        end();
    }
    end();
}

void XmlWriter::writeGroup(const TDSFieldGroup& group, int depth)
{
    attr("name", group.GroupName().isEmpty() ? QStringLiteral("Root entity") : group.GroupName());
    // The first field closes the group's start tag through the XML layer;
    // after a field's end tag the layer's state is the same whatever
    // follows, so the next fields may be written as lines of their own.
    bool afterField = false;
    for (const TDSField* field : group) {
        if (!afterField || !writePlainField(*field, depth))
            writeField(*field);
        afterField = true;
        flush();
    }
}

void XmlWriter::writeField(const TDSField& field)
{
    start("Attr");
    attr("id", QString::number(field.ID()));
    attr("kind", FldKindToStr(field.FieldKind()).mid(3));
    attr("expr", field.FieldExpr());
    attr("caption", field.DisplayName());
    attr("type", typeName(field.FieldType()));
    attr("size", QString::number(field.FieldSize()));
    attr("UIC", field.UseInConditions());
    attr("UIR", field.UseInResult());
    if (!field.UserData().isEmpty())
        attr("userData", field.UserData());
    if (field.FieldKind() == kfkData)
        attr("tables", field.Table() ? field.Table()->TableAlias() : QString());
    text("Operators", operatorNames(field));
    writeEditor(field);
    end();
}

const QString& XmlWriter::operatorNames(const TDSField& field)
{
    operatorsKey.clear();
    for (int i = 0; i < field.OperatCount(); ++i)
        operatorsKey.push_back(field.Operators(i));
    auto found = namesOfOperators.find(operatorsKey);
    if (found == namesOfOperators.end())
        found = namesOfOperators.emplace(operatorsKey, field.GetOperatorNames()).first;
    return found->second;
}

// The lines the XML layer writes for a field, composed directly, for the
// field most models are made of: no editor of its own, operators, and no
// text that needs escaping or filtering (any other goes through the layer).
// The layer's next output starts with a line break, which the buffer then
// skips.
bool XmlWriter::writePlainField(const TDSField& field, int depth)
{
    const auto plain = [](QStringView text) {
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u == u'<' || u == u'>' || u == u'&' || u == u'"' || u == u'\''
                || (u >= 0x7F && u < 0xA0) || c.isSurrogate() || u >= 0xFFFE)
                return false;
        }
        return true;
    };
    const QString& operators = operatorNames(field);
    const TDSTable* table = field.FieldKind() == kfkData ? field.Table() : nullptr;
    if (field.EditType() != etAuto || operators.isEmpty() || !plain(operators) || !plain(field.FieldExpr())
        || !plain(field.DisplayName()) || !plain(field.UserData()) || (table && !plain(table->TableAlias())))
        return false;

    const QString indent(2 * depth, u' ');
    const auto flag = [](bool on) { return on ? QLatin1String("true") : QLatin1String("false"); };
    QString line;
    line.reserve(160);
    line += indent;
    line += QLatin1String("<Attr id=\"") + QString::number(field.ID()) + QLatin1String("\" kind=\"")
            + FldKindToStr(field.FieldKind()).mid(3) + QLatin1String("\" expr=\"") + field.FieldExpr()
            + QLatin1String("\" caption=\"") + field.DisplayName() + QLatin1String("\" type=\"")
            + typeName(field.FieldType()) + QLatin1String("\" size=\"") + QString::number(field.FieldSize())
            + QLatin1String("\" UIC=\"") + flag(field.UseInConditions()) + QLatin1String("\" UIR=\"")
            + flag(field.UseInResult()) + u'"';
    if (!field.UserData().isEmpty())
        line += QLatin1String(" userData=\"") + field.UserData() + u'"';
    if (field.FieldKind() == kfkData)
        line += QLatin1String(" tables=\"") + (table ? table->TableAlias() : QString()) + u'"';
    line += u'>';
    // The layer's last end tag is still in the buffer, without its line break.
    if (!out.isEmpty()) {
        lines.Add(out);
        out.clear();
    }
    skipBreak = true;
    lines.Add(line);
    lines.Add(indent + QLatin1String("  <Operators>") + operators + QLatin1String("</Operators>"));
    lines.Add(indent + QLatin1String("  <Editors/>"));
    lines.Add(indent + QLatin1String("</Attr>"));
    return true;
}

// Every field has its Editors element; only a field with an editor of its
// own fills it.
void XmlWriter::writeEditor(const TDSField& field)
{
    start("Editors");
    static const char* const kEditorTypes[] = {"", "EDIT", "LIST", "CUSTOM", "SQLLIST"};
    if (field.EditType() != etAuto) {
        start("Default");
        attr("type", QString::fromLatin1(kEditorTypes[field.EditType()]));
        if (field.EditType() == etList) {
            const auto* editor = static_cast<const TDSListEditor*>(field.ValueEditor());
            start("Values");
            for (int i = 0; i < qMax(editor->Items.Count(), editor->Values.Count()); ++i) {
                empty("Value");
                attr("id", i < editor->Values.Count() ? editor->Values[i] : QString());
                attr("text", i < editor->Items.Count() ? editor->Items[i] : QString());
            }
            end();
        } else if (field.EditType() == etSQL) {
            start("SQL");
            w.writeCDATA(xmlText(static_cast<const TDSSQLEditor*>(field.ValueEditor())->SQL.Lines().join(u'\n')));
            end();
        }
        end();
    }
    end();
}

// --- reading

// Refuses, before the XML layer sees the text, what would make it slow: it
// checks an element's attributes for duplicates pair by pair, and entities
// declared in a document type could expand into markup this pass does not
// see. The pass follows the lexical structure only; what it does not
// understand it leaves to the parser, which then fails at that point.
struct XmlShape {
    qsizetype Tags = 0;
    qsizetype Attributes = 0;
};

XmlShape checkXmlShape(const QString& text)
{
    XmlShape shape;
    const QStringView view(text);
    const qsizetype n = view.size();
    // The index after the first end mark from the index on, or -1.
    const auto skipPast = [&](qsizetype i, QStringView mark) -> qsizetype {
        const qsizetype at = view.indexOf(mark, i);
        return at < 0 ? -1 : at + mark.size();
    };

    qsizetype i = 0;
    while (i >= 0 && i < n) {
        i = view.indexOf(u'<', i);
        if (i < 0)
            break;
        const QStringView rest = view.mid(i);
        const qsizetype tagStart = i;
        // The position is worked out only for a refusal.
        const auto refuse = [&](const QString& what) {
            const QStringView before = view.left(tagStart);
            const int line = 1 + static_cast<int>(before.count(u'\n'));
            const int column = static_cast<int>(tagStart - (before.lastIndexOf(u'\n') + 1) + 1);
            throw EXMLDocumentError(QStringLiteral("Line %d, column %d: %s"), {line, column, what});
        };
        if (rest.startsWith(u"<!--")) {
            i = skipPast(i + 4, u"-->");
        } else if (rest.startsWith(u"<![CDATA[")) {
            i = skipPast(i + 9, u"]]>");
        } else if (rest.startsWith(u"<!DOCTYPE")) {
            refuse(QStringLiteral("document type declarations are not accepted"));
        } else if (rest.startsWith(u"<!")) {
            return shape;
        } else if (rest.startsWith(u"<?")) {
            i = skipPast(i + 2, u"?>");
        } else {
            // A tag: every "=" outside quotes belongs to an attribute.
            QChar quote;
            int attributes = 0;
            ++shape.Tags;
            for (++i; i < n; ++i) {
                const QChar c = view[i];
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    ++shape.Attributes;
                    if (++attributes > XmlMaxAttributes)
                        refuse(QStringLiteral("an element has more than %1 attributes").arg(XmlMaxAttributes));
                } else if (c == u'>') {
                    ++i;
                    break;
                }
            }
        }
    }
    return shape;
}

// The document read into a flat list of nodes in document order: an
// element's descendants follow it up to its End, so nothing needs recursion
// however deep the nesting. Text that is only white space between elements
// is left out. Names, texts and values are views into the document where it
// holds them as they are, and into strings of the tree's own otherwise.
//
// The writer's documents, like most written by hand, use a small part of
// XML: elements, attributes, plain text, the five predefined entities and
// character references. A pass of the tree's own reads that part several
// times faster than the XML layer. Anything beyond it (comments, CDATA,
// processing instructions, unusual characters or names, other references)
// and anything malformed sends the whole document through the XML layer,
// which builds the same tree and gives every error its message and place.
class XmlTree {
public:
    struct Node {
        QStringView Name; // an element's name; empty for text
        QStringView Text; // a text node's text
        int Parent = -1;
        int End = 0; // one past the last descendant
        int FirstAttr = 0;
        int EndAttr = 0;
    };

    // Raises EXMLDocumentError, with the XML layer's message and position,
    // for text that is not well-formed XML. The text must outlive the tree.
    explicit XmlTree(const QString& text);

    std::vector<Node> Nodes;
    std::vector<std::pair<QStringView, QStringView>> Attrs;

private:
#ifdef BRINDLE_XML_CROSS_CHECK
    XmlTree() = default;
    bool sameTree(const XmlTree& other) const
    {
        const auto sameNode = [](const Node& a, const Node& b) {
            return a.Name == b.Name && a.Text == b.Text && a.Parent == b.Parent && a.End == b.End &&
                   a.FirstAttr == b.FirstAttr && a.EndAttr == b.EndAttr;
        };
        return std::equal(Nodes.begin(), Nodes.end(), other.Nodes.begin(), other.Nodes.end(), sameNode) &&
               Attrs == other.Attrs;
    }
#endif
    // False, with the tree emptied, where the document leaves the plain part.
    bool readPlain(QStringView doc);
    void readWithXmlLayer(const QString& text, qsizetype tags, qsizetype attributes);
    // A document repeats a few dozen names many times over: the XML layer's
    // are kept once, up to a bound that no real document reaches.
    QStringView name(QStringView text);
    QStringView keep(QString text);

    std::vector<QString> FNames;
    // Decoded values and the XML layer's texts; a QString keeps its
    // characters in place when the vector moves it.
    std::vector<QString> FOwned;
};

XmlTree::XmlTree(const QString& text)
{
    if (readPlain(text)) {
#ifdef BRINDLE_XML_CROSS_CHECK
        // Fuzzing builds hold every plain read against the XML layer's.
        XmlTree layer;
        layer.readWithXmlLayer(text, 0, 0);
        if (!sameTree(layer))
            std::abort();
#endif
        return;
    }
    Nodes.clear();
    Attrs.clear();
    FOwned.clear();
    const XmlShape shape = checkXmlShape(text);
    readWithXmlLayer(text, shape.Tags, shape.Attributes);
}

QStringView XmlTree::name(QStringView text)
{
    for (const QString& known : FNames)
        if (known == text)
            return known;
    if (FNames.size() >= 64)
        return keep(text.toString());
    FNames.push_back(text.toString());
    return FNames.back();
}

QStringView XmlTree::keep(QString text)
{
    FOwned.push_back(std::move(text));
    return FOwned.back();
}

namespace plain {

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isNameStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isNameChar(char16_t c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
}

// Characters the plain pass takes as they stand: what XML allows, short of
// surrogates and the last code points of the basic plane, whose handling
// the XML layer decides.
bool isPlainChar(char16_t c)
{
    return c >= 0x20 ? c < 0xD800 : c == u'\t' || c == u'\n' || c == u'\r';
}

// The character a reference stands for, from after its "&" to its ";", or
// 0 for one the plain pass leaves to the XML layer.
char16_t reference(QStringView ref)
{
    if (ref == u"lt")
        return u'<';
    if (ref == u"gt")
        return u'>';
    if (ref == u"amp")
        return u'&';
    if (ref == u"apos")
        return u'\'';
    if (ref == u"quot")
        return u'"';
    if (ref.size() < 2 || ref.size() > 8 || ref[0] != u'#')
        return 0;
    const bool hex = ref[1] == u'x';
    bool ok = false;
    const uint code = ref.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    // Digits only: toUInt would also take signs and blanks.
    for (QChar c : ref.mid(hex ? 2 : 1))
        if (!(c.isDigit() || (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))) || c.unicode() > 0x7F)
            return 0;
    // White space from a reference is kept where a literal one would be
    // normalised: left to the XML layer.
    return ok && code >= 0x20 && code < 0xD800 ? static_cast<char16_t>(code) : 0;
}

} // namespace plain

bool XmlTree::readPlain(QStringView doc)
{
    using namespace plain;
    const char16_t* const begin = doc.utf16();
    const char16_t* const end = begin + doc.size();
    const char16_t* p = begin;
    const auto startsWith = [&](QStringView what) { return QStringView(p, end).startsWith(what); };
    const auto skipSpace = [&] {
        const char16_t* from = p;
        while (p < end && isSpace(*p))
            ++p;
        return p > from;
    };
    const auto readName = [&](QStringView& out) {
        const char16_t* from = p;
        if (p == end || !isNameStart(*p))
            return false;
        while (++p < end && isNameChar(*p)) {
        }
        out = QStringView(from, p);
        // Names that XML reserves, and those of namespaces, are the XML
        // layer's to judge.
        return !out.startsWith(u"xml", Qt::CaseInsensitive) && (p == end || *p != u':');
    };

    for (QStringView declaration : {QStringView(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                                    QStringView(u"<?xml version=\"1.0\"?>")})
        if (startsWith(declaration)) {
            p += declaration.size();
            break;
        }

    int open = -1;
    bool rootRead = false;
    while (p < end) {
        const char16_t* const textStart = p;
        bool blank = true;
        bool carriageReturn = false;
        for (; p < end && *p != u'<'; ++p) {
            const char16_t c = *p;
            if (!isPlainChar(c) || c == u'&' || (c == u'>' && p - textStart >= 2 && p[-1] == u']' && p[-2] == u']'))
                return false;
            blank = blank && isSpace(c);
            carriageReturn = carriageReturn || c == u'\r';
        }
        if (!blank) {
            // Line ends in text are the XML layer's to normalise.
            if (open < 0 || carriageReturn)
                return false;
            Node node;
            node.Text = QStringView(textStart, p);
            node.Parent = open;
            node.End = static_cast<int>(Nodes.size()) + 1;
            Nodes.push_back(node);
        }
        if (p == end)
            break;
        ++p;
        if (p < end && *p == u'/') {
            ++p;
            QStringView name;
            if (open < 0 || !readName(name) || name != Nodes[open].Name)
                return false;
            skipSpace();
            if (p == end || *p != u'>')
                return false;
            ++p;
            Nodes[open].End = static_cast<int>(Nodes.size());
            open = Nodes[open].Parent;
            rootRead = open < 0;
            continue;
        }
        Node node;
        if (rootRead || !readName(node.Name))
            return false;
        node.Parent = open;
        node.FirstAttr = static_cast<int>(Attrs.size());
        bool empty = false;
        for (;;) {
            const bool spaced = skipSpace();
            if (p == end)
                return false;
            if (*p == u'>') {
                ++p;
                break;
            }
            if (*p == u'/') {
                if (++p == end || *p != u'>')
                    return false;
                ++p;
                empty = true;
                break;
            }
            QStringView attrName;
            if (!spaced || !readName(attrName))
                return false;
            skipSpace();
            if (p == end || *p != u'=')
                return false;
            ++p;
            skipSpace();
            if (p == end || (*p != u'"' && *p != u'\''))
                return false;
            const char16_t quote = *p++;
            const char16_t* const valueStart = p;
            QString decoded;
            bool decoding = false;
            for (; p < end && *p != quote; ++p) {
                const char16_t c = *p;
                if (c < 0x20 || c >= 0xD800 || c == u'<')
                    return false;
                if (c == u'&') {
                    const char16_t* const semicolon = std::find(p, end, u';');
                    const char16_t ref = semicolon == end ? 0 : reference(QStringView(p + 1, semicolon));
                    if (ref == 0)
                        return false;
                    if (!decoding) {
                        decoded = QStringView(valueStart, p).toString();
                        decoding = true;
                    }
                    decoded += QChar(ref);
                    p = semicolon;
                } else if (decoding) {
                    decoded += QChar(c);
                }
            }
            if (p == end)
                return false;
            const QStringView value = decoding ? keep(std::move(decoded)) : QStringView(valueStart, p);
            ++p;
            for (int i = node.FirstAttr; i < static_cast<int>(Attrs.size()); ++i)
                if (Attrs[i].first == attrName)
                    return false;
            if (static_cast<int>(Attrs.size()) - node.FirstAttr >= XmlMaxAttributes)
                return false;
            Attrs.emplace_back(attrName, value);
        }
        node.EndAttr = static_cast<int>(Attrs.size());
        const int index = static_cast<int>(Nodes.size());
        Nodes.push_back(node);
        if (empty) {
            Nodes[index].End = index + 1;
            rootRead = open < 0;
        } else {
            open = index;
        }
    }
    return rootRead && open < 0;
}

void XmlTree::readWithXmlLayer(const QString& text, qsizetype tags, qsizetype attributes)
{
    Nodes.reserve(static_cast<std::size_t>(tags));
    Attrs.reserve(static_cast<std::size_t>(attributes));
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int open = -1;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            Node node;
            node.Name = name(reader.qualifiedName());
            node.Parent = open;
            node.FirstAttr = static_cast<int>(Attrs.size());
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& a : attributes)
                Attrs.emplace_back(name(a.qualifiedName()), keep(a.value().toString()));
            node.EndAttr = static_cast<int>(Attrs.size());
            open = static_cast<int>(Nodes.size());
            Nodes.push_back(node);
            break;
        }
        case QXmlStreamReader::EndElement:
            Nodes[open].End = static_cast<int>(Nodes.size());
            open = Nodes[open].Parent;
            break;
        case QXmlStreamReader::Characters:
            if (open >= 0 && (reader.isCDATA() || !reader.isWhitespace())) {
                Node node;
                node.Text = keep(reader.text().toString());
                node.Parent = open;
                node.End = static_cast<int>(Nodes.size()) + 1;
                Nodes.push_back(node);
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        throw EXMLDocumentError(QStringLiteral("Line %d, column %d: %s"),
                                {static_cast<int>(reader.lineNumber()), static_cast<int>(reader.columnNumber()),
                                 reader.errorString()});
}

// Names compare without regard to letter case; one that differs in length
// from a plain ASCII name cannot match it.
bool sameName(QStringView name, QLatin1String wanted)
{
    return name.size() == wanted.size() && name.compare(wanted, Qt::CaseInsensitive) == 0;
}

// An element of an XmlTree, or none. Element and attribute names are
// looked up without regard to letter case; an absent attribute reads as
// the empty text.
class XmlElement {
public:
    XmlElement() = default;
    XmlElement(const XmlTree* tree, int index) : FTree(tree), FIndex(index) {}

    bool isNull() const { return FIndex < 0; }
    QStringView tagName() const { return node().Name; }

    XmlElement firstChildElement() const { return isNull() ? XmlElement() : elementFrom(FIndex + 1, FIndex); }
    XmlElement nextSiblingElement() const { return elementFrom(node().End, node().Parent); }
    // The first child element with the name.
    XmlElement child(QLatin1String name) const
    {
        for (XmlElement e = firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            if (sameName(e.tagName(), name))
                return e;
        return {};
    }

    // The attribute's value; none when the attribute is absent.
    std::optional<QStringView> find(QLatin1String name) const
    {
        if (isNull())
            return std::nullopt;
        for (int i = node().FirstAttr; i < node().EndAttr; ++i)
            if (sameName(FTree->Attrs[i].first, name))
                return FTree->Attrs[i].second;
        return std::nullopt;
    }
    QStringView view(QLatin1String name) const { return find(name).value_or(QStringView()); }
    QString value(QLatin1String name) const { return view(name).toString(); }

    // The text of every text node inside the element, in document order.
    QString text() const
    {
        QString all;
        if (!isNull())
            for (int i = FIndex + 1; i < node().End; ++i)
                if (FTree->Nodes[i].Name.isEmpty())
                    all += FTree->Nodes[i].Text;
        return all;
    }

private:
    const XmlTree::Node& node() const { return FTree->Nodes[FIndex]; }
    // The first element child of the parent (-1: of the document) from the
    // index on.
    XmlElement elementFrom(int index, int parent) const
    {
        const int end = parent >= 0 ? FTree->Nodes[parent].End : static_cast<int>(FTree->Nodes.size());
        for (int i = index; i < end; i = FTree->Nodes[i].End)
            if (!FTree->Nodes[i].Name.isEmpty())
                return {FTree, i};
        return {};
    }

    const XmlTree* FTree = nullptr;
    int FIndex = -1;
};

QString templateFromXml(const QString& expr)
{
    QString sql = ReplaceStr(expr, kExpr1, QStringLiteral("@f"));
    sql = ReplaceStr(sql, kExpr2, QStringLiteral("@1"));
    return ReplaceStr(sql, kExpr3, QStringLiteral("@2"));
}

QString valFormatFromXml(const QString& format)
{
    const qsizetype first = format.indexOf(kExpr1);
    if (first < 0)
        return {};
    const qsizetype from = first + kExpr1.size();
    const qsizetype second = format.indexOf(kExpr2, from);
    return second < 0 ? QString() : format.mid(from, second - from).trimmed();
}

class XmlReader {
public:
    explicit XmlReader(TVxCustomDBStructure& model) : m(model) {}
    void read(const XmlElement& root);

private:
    void readDBParams(const XmlElement& element);
    void readOperators(const XmlElement& element);
    void readTables(const XmlElement& element);
    void readLinks(const XmlElement& element);
    void readEntities(const XmlElement& element);
    void readField(const XmlElement& element, TDSFieldGroup* group);
    void readEditor(const XmlElement& element, TDSField* field);
    TDSTable* tableByName(const QString& name) const;
    // The operators a field's list of names finds with OperatorByName.
    const std::vector<TDSOperator*>& operatorsByNames(const QString& names);

    TVxCustomDBStructure& m;
    // The answers for each list of names: most fields share a few lists, and
    // the catalogue stays as it is while fields are read.
    TextHash<std::vector<TDSOperator*>> FOperatorLists;
};

void XmlReader::read(const XmlElement& root)
{
    const QStringView caseInsensitiveLike = root.view(QLatin1String("caseInsensitiveLike"));
    m.SetCaseInsensitiveLike(caseInsensitiveLike.compare(u"true", Qt::CaseInsensitive) == 0);
    const XmlElement options = root.child(QLatin1String("OPTIONS"));
    if (const XmlElement info = options.child(QLatin1String("DBINFO")); !info.isNull())
        readDBParams(info);
    if (const XmlElement e = root.child(QLatin1String("DBPARAMS")); !e.isNull())
        readDBParams(e);
    if (const XmlElement e = root.child(QLatin1String("DESCRIPTION")); !e.isNull())
        m.Description = e.text();
    if (const XmlElement e = root.child(QLatin1String("CUSTOMINFO")); !e.isNull()) {
        QVariantMap custom;
        for (const char* key : {"DSN", "UserName", "Password"})
            custom.insert(QLatin1String(key), e.child(QLatin1String(key)).text());
        m.CustomInfo.Data = custom;
    }
    readOperators(root.child(QLatin1String("OPERATORS")));
    readTables(root.child(QLatin1String("TABLES")));
    readLinks(root.child(QLatin1String("LINKS")));
    readEntities(root.child(QLatin1String("ENTITIES")));
}

void XmlReader::readDBParams(const XmlElement& element)
{
    TStringList settings;
    for (XmlElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.firstChildElement().isNull())
            settings.Add(e.tagName().toString() + u'=' + ExpandEnvironmentStrings(e.text()));
    if (TVxDBInfo* info = m.DatabaseInfo())
        info->LoadInfo(settings);
}

void XmlReader::readOperators(const XmlElement& element)
{
    for (XmlElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        auto op = std::make_unique<TDSOperator>();
        op->SetName(e.value(QLatin1String("ID")));
        op->SetDisplayName(e.value(QLatin1String("CAPTION")));
        op->SetSQLExpr(templateFromXml(e.value(QLatin1String("EXPR"))));
        op->SetValFormat(valFormatFromXml(e.value(QLatin1String("FORMAT"))));
        const QString kind = e.value(QLatin1String("KIND"));
        if (kind.compare(QLatin1String("List"), Qt::CaseInsensitive) == 0)
            op->SetValueKind(vkList);
        else if (kind.compare(QLatin1String("SubQuery"), Qt::CaseInsensitive) == 0)
            op->SetValueKind(vkSubQuery);
        if (const XmlElement types = e.child(QLatin1String("TYPES")); !types.isNull()) {
            TStringList names;
            names.SetCommaText(types.text());
            op->AppliedTypes = TAppliedTypes();
            for (const QString& name : names)
                op->AppliedTypes.Include(typeByName(name));
        }
        m.AddOperatorRef(std::move(op));
    }
}

void XmlReader::readTables(const XmlElement& element)
{
    for (XmlElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        auto table = std::make_unique<TDSTable>(&m);
        table->SetTableName(e.value(QLatin1String("NAME")));
        table->SetTableAlias(e.value(QLatin1String("ALIAS")));
        table->SetDatabaseName(e.value(QLatin1String("DB")));
        table->SetTableHints(e.value(QLatin1String("HINTS")));
        m.AddTableRef(std::move(table));
    }
}

TDSTable* XmlReader::tableByName(const QString& name) const
{
    if (TDSTable* table = m.TableByName(tlByAlias, name))
        return table;
    return m.TableByName(tlByName, name);
}

void XmlReader::readLinks(const XmlElement& element)
{
    for (XmlElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        auto link = std::make_unique<TDSLink>(&m);
        link->SetTable1(tableByName(e.value(QLatin1String("TABLE1"))));
        link->SetTable2(tableByName(e.value(QLatin1String("TABLE2"))));
        const QString type = e.value(QLatin1String("TYPE"));
        if (type.compare(QLatin1String("LEFT"), Qt::CaseInsensitive) == 0)
            link->SetLinkType(ltOuterLeft);
        else if (type.compare(QLatin1String("RIGHT"), Qt::CaseInsensitive) == 0)
            link->SetLinkType(ltOuterRight);
        else if (type.compare(QLatin1String("FULL"), Qt::CaseInsensitive) == 0)
            link->SetLinkType(ltOuterFull);
        for (XmlElement p = e.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
            const QString sides = p.value(QLatin1String("TYPE"));
            const auto prefix = [&sides](int i) {
                return i < sides.size() && sides[i] == u'E' ? QStringLiteral("val:") : QStringLiteral("fld:");
            };
            link->AddColumnPair(prefix(0) + p.value(QLatin1String("EXPR1")), p.value(QLatin1String("OP")),
                                prefix(1) + p.value(QLatin1String("EXPR2")));
        }
        m.AddLinkByRef(std::move(link));
    }
}

void XmlReader::readEntities(const XmlElement& element)
{
    if (element.isNull())
        return;
    // Groups nest in the document but not in the model; the reader walks
    // them with a stack of its own, depth first, in document order.
    struct Frame {
        TDSFieldGroup* group;
        XmlElement next; // the next child element to read
    };
    const auto open = [this](const XmlElement& e, TDSFieldGroup* group) {
        if (const auto name = e.find(QLatin1String("NAME")))
            group->SetGroupName(name->toString());
        return Frame{group, e.firstChildElement()};
    };
    std::vector<Frame> stack{open(element, m.RootGroup())};
    while (!stack.empty()) {
        const XmlElement e = stack.back().next;
        if (e.isNull()) {
            stack.pop_back();
            continue;
        }
        stack.back().next = e.nextSiblingElement();
        if (e.tagName() == QLatin1String("GROUP")) {
            auto group = std::make_unique<TDSFieldGroup>();
            group->SetDbStruct(&m);
            TDSFieldGroup* raw = group.get();
            m.FieldGroups().Add(std::move(group));
            stack.push_back(open(e, raw));
        } else {
            readField(e, stack.back().group);
        }
    }
}

const std::vector<TDSOperator*>& XmlReader::operatorsByNames(const QString& names)
{
    auto found = FOperatorLists.find(names);
    if (found == FOperatorLists.end()) {
        TStringList list;
        list.SetCommaText(names);
        std::vector<TDSOperator*> ops;
        for (const QString& name : list)
            if (TDSOperator* op = m.OperatorByName(name))
                ops.push_back(op);
        found = FOperatorLists.insert(names, std::move(ops));
    }
    return found.value();
}

void XmlReader::readField(const XmlElement& element, TDSFieldGroup* group)
{
    auto field = std::make_unique<TDSField>(&m);
    field->SetID(StrToInt(element.view(QLatin1String("ID"))));
    const bool isVirtual =
        element.view(QLatin1String("KIND")).compare(QLatin1String("Virtual"), Qt::CaseInsensitive) == 0;
    field->SetFieldKind(isVirtual ? kfkVirtual : kfkData);
    const QString expr = element.value(QLatin1String("EXPR"));
    if (isVirtual)
        field->SetSQLExpr(expr);
    else
        field->SetFieldName(expr);
    field->SetDisplayName(element.value(QLatin1String("CAPTION")));
    field->SetFieldType(typeByName(element.view(QLatin1String("TYPE"))));
    field->SetFieldSize(StrToInt(element.view(QLatin1String("SIZE"))));
    field->SetUseInConditions(XStrToBool(element.view(QLatin1String("UIC"))));
    field->SetUseInResult(XStrToBool(element.view(QLatin1String("UIR"))));
    if (const auto userData = element.find(QLatin1String("USERDATA")))
        field->SetUserData(userData->toString());
    if (const auto name = element.find(QLatin1String("TABLE")))
        if (TDSTable* table = tableByName(name->toString()))
            field->Tables().Add(table);

    if (const XmlElement ops = element.child(QLatin1String("OPERATORS")); !ops.isNull())
        for (TDSOperator* op : operatorsByNames(ops.text()))
            field->AddOperator(op);
    readEditor(element.child(QLatin1String("EDITORS")).child(QLatin1String("DEFAULT")), field.get());

    field->SetGroup(group);
    // AddFieldRef asks the database info for a data field's type and size
    // and refuses the field without one; without an info the field keeps
    // what the document gives.
    if (m.DatabaseInfo())
        m.AddFieldRef(std::move(field));
    else
        m.AddFieldAsIs(std::move(field));
}

void XmlReader::readEditor(const XmlElement& element, TDSField* field)
{
    if (element.isNull())
        return;
    const QString type = element.value(QLatin1String("TYPE"));
    if (type == QLatin1String("EDIT")) {
        field->SetEditType(etEdit);
    } else if (type == QLatin1String("LIST")) {
        field->SetEditType(etList);
        auto* editor = static_cast<TDSListEditor*>(field->ValueEditor());
        const XmlElement values = element.child(QLatin1String("VALUES"));
        for (XmlElement e = values.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                editor->Values.Add(e.value(QLatin1String("ID")));
            editor->Items.Add(e.value(QLatin1String("TEXT")));
        }
    } else if (type == QLatin1String("SQLLIST")) {
        field->SetEditType(etSQL);
        static_cast<TDSSQLEditor*>(field->ValueEditor())->SQL.SetText(element.child(QLatin1String("SQL")).text());
    } else if (type == QLatin1String("CUSTOM")) {
        field->SetEditType(etCustom);
    }
}

} // namespace

QString ExpandEnvironmentStrings(const QString& text)
{
    if (!text.contains(u'%'))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'%', i);
        if (open < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, open - i);
        const qsizetype close = text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(open);
            break;
        }
        const QString name = text.mid(open + 1, close - open - 1);
        // A name holding "=" or a zero would find some other variable.
        const bool isName = !name.isEmpty() && !name.contains(u'=') && !name.contains(QChar(0));
        const QByteArray key = name.toLocal8Bit();
        if (isName && qEnvironmentVariableIsSet(key.constData())) {
            out += qEnvironmentVariable(key.constData());
            i = close + 1;
        } else {
            out += QStringView(text).mid(open, close - open);
            i = close;
        }
    }
    return out;
}

void SaveDMToXml(TVxCustomDBStructure& model, TStringList& lines)
{
    lines.Clear();
    // A field takes four lines or more, a link three: room up front keeps a
    // large document from moving its list as it grows.
    lines.Reserve(5 * qsizetype{model.FieldCount()} + 4 * qsizetype{model.LinkCount()}
                  + 8 * (qsizetype{model.TableCount()} + model.OperatCount() + model.FieldGroups().Count()) + 64);
    XmlWriter(lines).write(model);
}

void LoadDMFromXml(TVxCustomDBStructure& model, TStringList& lines)
{
    model.operation([&] {
        model.ClearStructure();
        model.ClearOperators();
        const QString text = lines.Text();
        const XmlTree tree(text);
        if (!tree.Nodes.empty())
            XmlReader(model).read(XmlElement(&tree, 0));
    });
}

} // namespace brindle
