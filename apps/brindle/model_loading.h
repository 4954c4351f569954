#pragma once
// Reading the files a command names: the data model in any of its stored
// forms, and the text of a file argument, where "-" is standard input.

#include <brindle/datamodel/db_structure.h>

namespace brindle::cli {

// The lines of the file, or of standard input for "-" (UTF-8, a byte order
// mark dropped). A file that cannot be read raises the library's Exception.
TStringList ReadInputLines(const QString& argument);

// Loads the model a --model argument names, as a new Qt child of owner:
// - a name ending in ".xml" (or standard input starting with "<") is the
//   model XML format, read by LoadDMFromXml;
// - a text whose first line other than blanks and "#" comments starts with
//   "form " is a form file: the first TVxDBStructure in it, with the SQL
//   formats the form keeps;
// - anything else is the model text format.
TVxDBStructure* LoadModel(const QString& argument, QObject* owner);

} // namespace brindle::cli
