#pragma once
// What the tests use to steer the project's wizard library and read what it
// did; it exports these next to its three entry points.

extern "C" {

enum DalwickTestMode {
    // Calls every callback and replaces the model; returns true.
    DalwickCallEverything,
    // Reads the model text, keeps it unreleased and returns false.
    DalwickDecline,
    // Hands the model a text it cannot read; returns true.
    DalwickUnreadableModel,
    // Lets a C++ exception out of runwizard.
    DalwickThrow,
};

// Selects the mode of the next run and empties the log.
typedef void (*DalwickTestResetProc)(int mode);
// One line per step: init, what each callback answered, run, done.
typedef const char16_t* (*DalwickTestLogProc)(void);
// Calls the table names callback that initwizard received; true when it
// answered (the text is released).
typedef bool (*DalwickTestTablesAnswerProc)(void);
}
