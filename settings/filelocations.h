#ifndef FILELOCATIONS_H
#define FILELOCATIONS_H

#include <QString>

// Where the program keeps its settings file and its NMEA logs. Run from the
// build tree it works in the folder it was started from, as developers and
// the tests expect; run from an install it keeps to the user's folders.
struct FileLocations
{
    QString configFile;     // INI file with BaseConfig/StyleName and the connection
    QString logDirectory;   // one .nma file per connection
    bool installed = false;
};

namespace Places {

// The name of the desktop entry an install puts into share/applications,
// without ".desktop"; also the icon's name.
QString desktopId();

// The folder name under the user's configuration and documents folders.
QString folderName();

// True when `executableDir` is the bin folder of an install prefix, that is
// when `executableDir`/../share/applications holds the desktop entry. A
// build tree, a test's folder or a copied binary is not an install.
bool runsFromInstall(const QString &executableDir);

// Build tree: "config.ini" and "./log" in the working folder. Installed:
// "<configuration folder>/Kestrela Skyloupe/config.ini" and
// "<documents folder>/Kestrela Skyloupe" (the data folder when the system
// names no documents folder), both from QStandardPaths.
FileLocations locate(bool installed);

// The locations this process uses: the build tree's until main() sets
// others, before the window exists.
const FileLocations &current();
void setCurrent(const FileLocations &locations);

} // namespace Places

#endif // FILELOCATIONS_H
