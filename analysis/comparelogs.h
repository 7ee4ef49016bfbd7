#ifndef COMPARELOGS_H
#define COMPARELOGS_H

#include <QString>

// `skyloupe --analyze LOG --compare REFERENCE_LOG`: the comparison of the
// compare view, made from two recorded logs. Both are read in pieces, side
// by side in UTC time, through the same analysis and the same comparison
// the window uses; into the folder go comparison.csv (a line per pair of
// epochs, written as they pair) and comparison.json, and a summary goes to
// standard output. Returns the exit status (AnalyzeCommand::Status), with a
// message on standard error for any but 0.
namespace CompareLogs {

int run(const QString &underTestLog, const QString &referenceLog, const QString &outDirectory);

} // namespace CompareLogs

#endif // COMPARELOGS_H
