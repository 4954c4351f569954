// The project's wizard library: it calls every callback it is given, logs
// what each answered, and rewrites the model from what it read: each table
// gets the current database as its database name and its column count in
// its display name. It reads 8-bit texts as Latin-1, the part of cp1252 the
// tests use, and keeps its log in UTF-16.

#include "wizard/test_wizard.h"
#include <brindle/datamodel/wizard_library.h>

#include <stdexcept>
#include <string>
#include <vector>

#define WIZARD_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Callbacks {
    DalwickGetTextProc getStructure;
    DalwickSetTextProc setStructure;
    DalwickGetTextProc getDatabaseNames;
    DalwickGetWideProc getCurrentDatabase;
    DalwickSetWideProc setCurrentDatabase;
    DalwickGetTextProc getTableNames;
    DalwickGetFieldsProc getFields;
    DalwickGetTextProc getLinks;
    DalwickGetBoolProc getConnected;
    DalwickFreeTextProc freeText;
};

Callbacks callbacks;
int mode = DalwickCallEverything;
std::u16string wizardLog;

std::u16string fromLatin1(const std::string& text)
{
    std::u16string wide;
    for (unsigned char c : text)
        wide += char16_t(c);
    return wide;
}

std::string toLatin1(const char16_t* text)
{
    std::string narrow;
    for (; *text; ++text)
        narrow += *text < 0x100 ? char(*text) : '?';
    return narrow;
}

void note(const std::u16string& line) { wizardLog += line + u'\n'; }

// The lines of a text from a callback, which is released; false for null.
bool takeLines(char* text, std::vector<std::string>& lines)
{
    lines.clear();
    if (!text)
        return false;
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    callbacks.freeText(text);
    return true;
}

std::u16string logged(const std::vector<std::string>& lines, bool answered, const char16_t* separator)
{
    if (!answered)
        return u"<null>";
    std::u16string text;
    for (const std::string& line : lines)
        text += (text.empty() ? u"" : separator) + fromLatin1(line);
    return text;
}

std::string currentDatabase()
{
    DalwickWideChar* name = callbacks.getCurrentDatabase();
    if (!name) {
        note(u"current <null>");
        return std::string();
    }
    note(u"current " + std::u16string(name));
    std::string narrow = toLatin1(name);
    callbacks.freeText(name);
    return narrow;
}

bool callEverything()
{
    char* structureText = callbacks.getStructure();
    std::vector<std::string> structure;
    takeLines(structureText, structure);
    note(u"structure " + fromLatin1(std::to_string(structure.size())) + u" lines");

    std::vector<std::string> databases;
    const bool named = takeLines(callbacks.getDatabaseNames(), databases);
    note(u"databases " + logged(databases, named, u","));
    currentDatabase();
    if (!databases.empty())
        callbacks.setCurrentDatabase(fromLatin1(databases.back()).c_str());
    const std::string database = currentDatabase();

    std::vector<std::string> tables;
    const bool listed = takeLines(callbacks.getTableNames(), tables);
    note(u"tables " + logged(tables, listed, u","));
    std::vector<std::string> counts, fields;
    for (const std::string& table : tables) {
        const bool answered = takeLines(callbacks.getFields(table.c_str()), fields);
        std::string count = fields.empty() ? std::string() : fields.front().substr(fields.front().find('=') + 1);
        note(u"fields " + fromLatin1(table + " " + (answered ? count : "<null>")));
        counts.push_back(count);
    }
    std::vector<std::string> links;
    const bool linked = takeLines(callbacks.getLinks(), links);
    note(u"links " + logged(links, linked, u";"));
    note(callbacks.getConnected() ? u"connected 1" : u"connected 0");

    // Releasing again, or what no callback returned, must be harmless.
    callbacks.freeText(structureText);
    callbacks.freeText(nullptr);

    std::string model;
    bool inTable = false;
    std::string tableName;
    for (const std::string& line : structure) {
        if (!line.empty() && line[0] == '[')
            inTable = line.rfind("[Table:", 0) == 0;
        std::string out = line;
        if (inTable && line.rfind("DBName=", 0) == 0) {
            out = "DBName=" + database;
        } else if (inTable && line.rfind("Name=", 0) == 0) {
            tableName = line.substr(5);
        } else if (inTable && line.rfind("DisplayName=", 0) == 0) {
            for (std::size_t i = 0; i < tables.size(); ++i)
                if (tables[i] == tableName)
                    out += " (" + counts[i] + " fields)";
        }
        model += out + '\n';
    }
    callbacks.setStructure(model.c_str());
    return true;
}

} // namespace

WIZARD_EXPORT void initwizard(DalwickGetTextProc getStructure, DalwickSetTextProc setStructure,
                              DalwickGetTextProc getDatabaseNames, DalwickGetWideProc getCurrentDatabase,
                              DalwickSetWideProc setCurrentDatabase, DalwickGetTextProc getTableNames,
                              DalwickGetFieldsProc getFields, DalwickGetTextProc getLinks,
                              DalwickGetBoolProc getConnected, DalwickFreeTextProc freeText)
{
    callbacks = {getStructure, setStructure, getDatabaseNames, getCurrentDatabase, setCurrentDatabase,
                 getTableNames, getFields, getLinks, getConnected, freeText};
    note(u"init");
}

WIZARD_EXPORT bool runwizard(void)
{
    bool result = true;
    switch (mode) {
    case DalwickCallEverything:
        result = callEverything();
        break;
    case DalwickDecline:
        note(callbacks.getStructure() ? u"structure kept" : u"structure <null>");
        result = false;
        break;
    case DalwickUnreadableModel:
        callbacks.setStructure("[Main]\nVersion=3.6\nTableCount=1000\n");
        break;
    case DalwickThrow:
        note(u"throw");
        throw std::runtime_error("the wizard failed");
    }
    note(u"run");
    return result;
}

WIZARD_EXPORT void donewizard(void) { note(u"done"); }

WIZARD_EXPORT void dalwick_test_reset(int newMode)
{
    mode = newMode;
    wizardLog.clear();
}

WIZARD_EXPORT const char16_t* dalwick_test_log(void) { return wizardLog.c_str(); }

WIZARD_EXPORT bool dalwick_test_tables_answer(void)
{
    std::vector<std::string> tables;
    return takeLines(callbacks.getTableNames(), tables);
}
