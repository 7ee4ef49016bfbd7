#include "trace/trace.h"

// Debug lines are off by default; warnings and above pass.
Q_LOGGING_CATEGORY(lcLink, "skyloupe.link", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTimer, "skyloupe.timer", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSession, "skyloupe.session", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWindow, "skyloupe.window", QtInfoMsg)

namespace Trace {

void enableAll()
{
    QLoggingCategory::setFilterRules(QStringLiteral("skyloupe.*.debug=true"));
}

} // namespace Trace
