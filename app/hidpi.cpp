#include "app/hidpi.h"

#include <QGuiApplication>

namespace HiDpi {

void enable()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Whole factors only: a screen whose reported size makes it 1.04 times
    // 96 dpi would otherwise draw everything scaled, blurred and at twice
    // the cost; 200 % stays 2, and fonts follow the screen's dots per inch.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

QIcon iconWithDoubleSize(const QString &path)
{
    QIcon icon(path);
    QString twin = path;
    twin.insert(path.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    icon.addFile(twin);
    return icon;
}

QPixmap fitted(const QPixmap &source, const QSize &logical, qreal ratio)
{
    if (source.isNull())
        return source;
    QPixmap scaled = source.scaled(logical * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

} // namespace HiDpi
