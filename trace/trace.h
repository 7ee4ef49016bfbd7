#ifndef TRACE_H
#define TRACE_H

#include <QLoggingCategory>

// The developers' trace lines, one logging category per room of the
// program, all off unless asked for: `skyloupe --debug`, or
// QT_LOGGING_RULES="skyloupe.*.debug=true" (or one category, e.g.
// "skyloupe.link.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcLink)      // "skyloupe.link": port opens, losses, scan steps, version query
Q_DECLARE_LOGGING_CATEGORY(lcTimer)     // "skyloupe.timer": the timer object's runs
Q_DECLARE_LOGGING_CATEGORY(lcSession)   // "skyloupe.session": commands refused or answered
Q_DECLARE_LOGGING_CATEGORY(lcWindow)    // "skyloupe.window": the window's rescaling

namespace Trace {
// Turns every category of the program on (--debug). Rules in
// QT_LOGGING_RULES still win, as for any Qt program.
void enableAll();
}

#endif // TRACE_H
