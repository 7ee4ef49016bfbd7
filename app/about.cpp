#include "app/about.h"
#include "ui_about.h"

#include "app/hidpi.h"
#include "version.h"

#include <QPixmap>

about::about(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::about)
{
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(500, 400);
    ui->setupUi(this);
    const QPixmap logo(QStringLiteral(":/LOGO.png"));
    if (!logo.isNull())
        ui->label1->setPixmap(HiDpi::fitted(logo, QSize(192, 192), devicePixelRatioF()));
    setWindowTitle(QStringLiteral("About Kestrela Skyloupe"));
    ui->label2->setText(
        QStringLiteral("<b><font size=4>  Kestrela Skyloupe</font></b><br>Version: " SKYLOUPE_VERSION "<br>"));
    ui->label3->setText(QStringLiteral(
        "<font size=5>Website: <a href=\"https://www.kestrela.example/skyloupe\">www.kestrela.example/skyloupe</a><br>"
        "Contact: <a href=\"https://support.kestrela.example\">support.kestrela.example</a><br>"
        "&copy; Kestrela. All rights reserved.</font><br>"));
    ui->label3->setOpenExternalLinks(true);
    setStyleSheet(QStringLiteral("about{background-color:#FFFFFF}"));
}

about::~about()
{
    delete ui;
}
