// "Tool", "Open source...": a receiver beyond the serial port. The address
// the dialog makes joins the port box like a port, so Connect, Disconnect,
// the title and the remembered connection treat it as one.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "session/receiversession.h"
#include "settings/connectionsettings.h"
#include "settings/filelocations.h"
#include "sourcedialog/sourcedialog.h"

#include <QAction>

void MainWindow::buildSourceActions()
{
    QAction *open = new QAction(tr("Open source..."), this);
    open->setObjectName(QStringLiteral("actionOpen_Source"));
    ui->menuTool->insertAction(ui->menuTool->actions().value(0), open);
    connect(open, &QAction::triggered, this, &MainWindow::openSourceDialog);
}

void MainWindow::openSourceDialog()
{
    if (m_session->isOpen()) {
        showLinkMessage(tr("Disconnect from %1 first, then open another source.").arg(m_session->source()->name()));
        return;
    }
    SourceDialog dialog(Connection::recentSources(Places::current().configFile), this);
    if (dialog.exec() != QDialog::Accepted || dialog.address().isEmpty())
        return;
    openSource(dialog.address());
}

void MainWindow::openSource(const QString &address)
{
    offerPort(address);
    if (!m_session->isOpen()) {
        clearSentenceTable();
        emit connect_signal(address, ui->comboBox_2->currentText());
    }
}
