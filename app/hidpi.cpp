#include "app/hidpi.h"

#include <QGuiApplication>

namespace HiDpi {

void enable()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
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
