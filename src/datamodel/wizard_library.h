#pragma once
/* The interface between the data model and the wizard library "Dalwick"
 * (libDalwick.so, Dalwick.dll, libDalwick.dylib), which
 * TVxCustomDBStructure::RunDalwick loads by that base name at each call.
 * Plain C, so that a wizard written in C, C++ or anything with a C interface
 * can include it; it needs neither Qt nor the rest of the library.
 *
 * The wizard exports three functions with C linkage and the platform's
 * default C calling convention, looked up by these names:
 *
 *   void initwizard(the ten callbacks below, in their order);
 *   bool runwizard(void);   its result is what RunDalwick returns
 *   void donewizard(void);  called after runwizard, whatever happened
 *
 * Texts are zero-terminated. 8-bit texts are in the cp1252 code page, lines
 * separated by a line feed (a carriage return, with or without the line
 * feed, is read as a break too). Wide texts are UTF-16 in the machine's byte
 * order (DalwickWideChar). Every text a callback returns is allocated by the
 * host and belongs to the wizard, which releases it with the free callback;
 * a text is valid until then or until RunDalwick returns, whichever comes
 * first (the host releases what is left). Releasing null, a text twice or a
 * pointer that no callback returned does nothing.
 *
 * Callbacks are to be called only from initwizard until runwizard returns,
 * on the thread that called them.
 * Callbacks 3 to 9 need the model's database info component; when it is
 * missing or raises an error, the error is reported to the user and the
 * callback answers null (or false). Errors of callbacks 1 and 2 reach the
 * caller of RunDalwick once runwizard has returned. No host error ever
 * unwinds through the wizard's frames.
 */

#ifdef __cplusplus
extern "C" {
typedef char16_t DalwickWideChar;
#else
#include <stdbool.h>
#include <uchar.h>
typedef char16_t DalwickWideChar;
#endif

/* 1, 3, 6, 8: the model text, the database names, the table names, the links. */
typedef char* (*DalwickGetTextProc)(void);
/* 2: replaces the model by the one the text describes. */
typedef void (*DalwickSetTextProc)(const char* text);
/* 4: the current database name. */
typedef DalwickWideChar* (*DalwickGetWideProc)(void);
/* 5: makes the named database the current one. */
typedef void (*DalwickSetWideProc)(const DalwickWideChar* name);
/* 7: the columns of a table in the column list's name=value form. */
typedef char* (*DalwickGetFieldsProc)(const char* tableName);
/* 9: whether the database info is connected. */
typedef bool (*DalwickGetBoolProc)(void);
/* 10: releases an 8-bit or wide text that a callback returned. */
typedef void (*DalwickFreeTextProc)(void* text);

typedef void (*DalwickInitWizardProc)(
    DalwickGetTextProc getStructure, DalwickSetTextProc setStructure,
    DalwickGetTextProc getDatabaseNames, DalwickGetWideProc getCurrentDatabase,
    DalwickSetWideProc setCurrentDatabase, DalwickGetTextProc getTableNames,
    DalwickGetFieldsProc getFields, DalwickGetTextProc getLinks,
    DalwickGetBoolProc getConnected, DalwickFreeTextProc freeText);
typedef bool (*DalwickRunWizardProc)(void);
typedef void (*DalwickDoneWizardProc)(void);

#ifdef __cplusplus
}
#endif
