#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QCommandLineOption>
#include <QList>
#include <QString>

// Every option of `skyloupe` in one table, grouped by what it is for, so
// that --help lists them all and the window and the headless analysis read
// theirs from the same rows. Qt Core only: --help and --version need no
// display.
namespace CommandLine {

enum class Group { General, Window, Analysis };

struct Option
{
    Group group;
    QString name;
    QString valueName;     // empty for a switch
    QString description;   // one line
};

// All options, in the order --help lists them.
const QList<Option> &options();
// The options of one group, ready for a QCommandLineParser.
QList<QCommandLineOption> parserOptions(Group group);

// The text --help prints: usage, then each group with its options.
QString helpText();
// The text --version prints: "skyloupe 1.2".
QString versionText();

// What the command line asks before any application object exists:
// Help or Version (print and exit 0), or Run.
enum class Request { Run, Help, Version };
Request request(int argc, char *argv[]);
// True when --debug is on the command line.
bool debugRequested(int argc, char *argv[]);

} // namespace CommandLine

#endif // COMMANDLINE_H
