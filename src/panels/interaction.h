#pragma once
// Talking to the user outside the panels: a yes/no question, a notice shown
// during long work, a window's place remembered between runs, and opening a
// document or web address. A host that runs without anyone at the screen
// (an automated run, a test) replaces the question and the opening with
// handlers of its own; an empty handler restores the default.

#include <brindle/brindle_widgets_export.h>

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace brindle {

using AskHandler = std::function<bool(const QString& question)>;
using OpenUrlHandler = std::function<bool(const QUrl& url)>;

// The default asks in a message box over the active window.
BRINDLE_WIDGETS_EXPORT void SetAskHandler(AskHandler handler);
// The default is QDesktopServices::openUrl.
BRINDLE_WIDGETS_EXPORT void SetOpenUrlHandler(OpenUrlHandler handler);

// True when the user answers yes.
BRINDLE_WIDGETS_EXPORT bool Ask(const QString& question);

// Shows the text in a small window that does not block, over the active
// window; a second call replaces the text. HideInfo closes it.
BRINDLE_WIDGETS_EXPORT void ShowInfo(const QString& text);
BRINDLE_WIDGETS_EXPORT void HideInfo();

// A window's position and size under the key in the settings of
// QSettings("Tarvik", the application's name). Loading changes nothing when
// the key holds no position, and moves a window that would open on no
// screen onto the primary one.
BRINDLE_WIDGETS_EXPORT void LoadControlPosReg(QWidget* control, const QString& key);
BRINDLE_WIDGETS_EXPORT void SaveControlPosReg(QWidget* control, const QString& key);

// Opens a document (a file path, relative ones from the current folder) or a
// web address with the program the desktop assigns; false when none opens it.
BRINDLE_WIDGETS_EXPORT bool RunProgramEx(const QString& documentOrUrl);

} // namespace brindle
