#ifndef STYLE_H
#define STYLE_H

#include <QString>

// The process-wide style settings: the sheet in use, the INI file that
// records it, and the eight colours read from the sheet's closing comments.
struct StyleSettings
{
    static QString ConfigFile;
    static QString StyleName;
    static QString TextColor;
    static QString PanelColor;
    static QString BorderColor;
    static QString NormalColorStart;
    static QString NormalColorEnd;
    static QString DarkColorStart;
    static QString DarkColorEnd;
    static QString HighColor;

    // Records StyleName under BaseConfig in ConfigFile; a file that cannot
    // be written changes nothing.
    static void writeConfig();
    // Updates each colour from the first "Key:" in the sheet; a missing key
    // keeps its colour.
    static void extractStyleColors(const QString &sheet);
    // Applies the sheet at qssFile with the extra rules and its palette; a
    // sheet that cannot be opened changes nothing.
    static void initStyle(const QString &qssFile);
    // The start-up sequence: the light sheet, recorded and applied.
    static void startUp();
};

#endif // STYLE_H
