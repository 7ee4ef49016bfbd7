#include "app/style.h"
#include "app/stylesheettext.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QPalette>
#include <QSettings>

QString StyleSettings::ConfigFile = QStringLiteral("config.ini");
QString StyleSettings::StyleName = QStringLiteral(":/qss/blackvideo.css");
QString StyleSettings::TextColor = QStringLiteral("#151515");
QString StyleSettings::PanelColor = QStringLiteral("#151515");
QString StyleSettings::BorderColor = QStringLiteral("#151515");
QString StyleSettings::NormalColorStart = QStringLiteral("#151515");
QString StyleSettings::NormalColorEnd = QStringLiteral("#151515");
QString StyleSettings::DarkColorStart = QStringLiteral("#151515");
QString StyleSettings::DarkColorEnd = QStringLiteral("#151515");
QString StyleSettings::HighColor = QStringLiteral("#151515");

void StyleSettings::writeConfig()
{
    QSettings set(ConfigFile, QSettings::IniFormat);
    set.beginGroup(QStringLiteral("BaseConfig"));
    set.setValue(QStringLiteral("StyleName"), StyleName);
    set.endGroup();
}

void StyleSettings::extractStyleColors(const QString &sheet)
{
    const StyleColors previous = {TextColor, PanelColor, BorderColor, NormalColorStart,
                                  NormalColorEnd, DarkColorStart, DarkColorEnd, HighColor};
    const StyleColors colors = readStyleColors(sheet, previous);
    TextColor = colors.text;
    PanelColor = colors.panel;
    BorderColor = colors.border;
    NormalColorStart = colors.normalStart;
    NormalColorEnd = colors.normalEnd;
    DarkColorStart = colors.darkStart;
    DarkColorEnd = colors.darkEnd;
    HighColor = colors.high;
}

void StyleSettings::initStyle(const QString &qssFile)
{
    QFile file(qssFile);
    if (!file.open(QFile::ReadOnly))
        return;
    QString qss = decodeStyleSheet(file.readAll());
    file.close();

    extractStyleColors(qss);
    qss += styleExtraRules({TextColor, PanelColor, BorderColor, NormalColorStart,
                            NormalColorEnd, DarkColorStart, DarkColorEnd, HighColor});

    QColor panel;
    panel.setNamedColor(PanelColor);
    QApplication::setPalette(QPalette(panel));
    qApp->setStyleSheet(qss);
}

void StyleSettings::startUp()
{
    StyleName = QStringLiteral(":/lightblack.css");
    writeConfig();
    initStyle(StyleName);
}
