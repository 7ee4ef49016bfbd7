#include "app/style.h"

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
    struct Key { const char *name; QString *colour; };
    const Key keys[] = {
        {"TextColor:", &TextColor},
        {"PanelColor:", &PanelColor},
        {"BorderColor:", &BorderColor},
        {"NormalColorStart:", &NormalColorStart},
        {"NormalColorEnd:", &NormalColorEnd},
        {"DarkColorStart:", &DarkColorStart},
        {"DarkColorEnd:", &DarkColorEnd},
        {"HighColor:", &HighColor},
    };
    for (const Key &key : keys) {
        const QString name = QString::fromLatin1(key.name);
        const int at = sheet.indexOf(name);
        if (at >= 0)
            *key.colour = sheet.mid(at + name.size(), 7);
    }
}

void StyleSettings::initStyle(const QString &qssFile)
{
    QFile file(qssFile);
    if (!file.open(QFile::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    file.close();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    QString qss = QString::fromLatin1(bytes);

    extractStyleColors(qss);

    QStringList extra;
    extra << QStringLiteral("QMenuBar{border-left-width:0px;}");
    extra << QStringLiteral("QTreeWidget{border-top-width:0px;border-bottom-width:0px;padding-top:3px;}");
    extra << QStringLiteral("QTableWidget{border-width:0px;}");
    extra << QStringLiteral("#labLogo{background-color:%1;}").arg(NormalColorStart);
    extra << QStringLiteral("#widget3D{background-color:%1;}").arg(NormalColorStart);
    extra << QStringLiteral("NavTitle{qproperty-text:\"\";qproperty-leftIcon:0;qproperty-bgColor:%1;"
                            "qproperty-textColor:%2;qproperty-iconNormalColor:%2;"
                            "qproperty-iconHoverColor:%2;qproperty-iconPressColor:%2;}")
                 .arg(BorderColor).arg(TextColor);
    qss += extra.join(QString());

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
