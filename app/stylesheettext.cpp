#include "app/stylesheettext.h"

#include <QStringList>

StyleColors readStyleColors(const QString &sheet, const StyleColors &previous)
{
    StyleColors colors = previous;
    struct Key { QLatin1String name; QString *colour; };
    const Key keys[] = {
        {QLatin1String("TextColor:"), &colors.text},
        {QLatin1String("PanelColor:"), &colors.panel},
        {QLatin1String("BorderColor:"), &colors.border},
        {QLatin1String("NormalColorStart:"), &colors.normalStart},
        {QLatin1String("NormalColorEnd:"), &colors.normalEnd},
        {QLatin1String("DarkColorStart:"), &colors.darkStart},
        {QLatin1String("DarkColorEnd:"), &colors.darkEnd},
        {QLatin1String("HighColor:"), &colors.high},
    };
    for (const Key &key : keys) {
        const int at = sheet.indexOf(key.name, 0, Qt::CaseSensitive);
        if (at >= 0)
            *key.colour = sheet.mid(at + key.name.size(), 7);
    }
    return colors;
}

QString decodeStyleSheet(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul >= 0 ? bytes.left(nul) : bytes);
}

QString styleExtraRules(const StyleColors &colors)
{
    QStringList rules;
    rules << QStringLiteral("QMenuBar{border-left-width:0px;}");
    rules << QStringLiteral("QTreeWidget{border-top-width:0px;border-bottom-width:0px;padding-top:3px;}");
    rules << QStringLiteral("QTableWidget{border-width:0px;}");
    rules << QStringLiteral("#labLogo{background-color:%1;}").arg(colors.normalStart);
    rules << QStringLiteral("#widget3D{background-color:%1;}").arg(colors.normalStart);
    // Two successive arg() calls: the border colour fills %1 first, then
    // the text colour every %2.
    rules << QStringLiteral("NavTitle{qproperty-text:\"\";qproperty-leftIcon:0;qproperty-bgColor:%1;"
                            "qproperty-textColor:%2;qproperty-iconNormalColor:%2;"
                            "qproperty-iconHoverColor:%2;qproperty-iconPressColor:%2;}")
                 .arg(colors.border)
                 .arg(colors.text);
    return rules.join(QString());
}
