#include "app/receiverwindows.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "receiver/receivermodel.h"
#include "session/receiversession.h"

#include <QComboBox>

ReceiverWindows::ReceiverWindows(QObject *parent)
    : QObject(parent)
{
}

ReceiverWindows::~ReceiverWindows()
{
    // Windows still open when the program ends (a quit from elsewhere) go
    // first, each stopping its worker, then the compare view.
    const QList<MainWindow *> windows = m_windows;
    for (MainWindow *window : windows) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
    delete m_jointCampaign;
    delete m_compare;
}

MainWindow *ReceiverWindows::open()
{
    auto *window = new MainWindow;   // owned by itself: it deletes itself when closed
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("receiverWindow%1").arg(++m_opened));
    m_windows.append(window);
    window->setWindows(this);
    // The pointer as it was handed out: by the time destroyed() comes, the
    // object is a MainWindow no more, so no cast may reach it.
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
    connect(window, &MainWindow::connectionChanged, this, &ReceiverWindows::changed);
    connect(window->form()->comboBox_com, &QComboBox::currentTextChanged, this, &ReceiverWindows::changed);
    window->show();
    emit changed();
    return window;
}

void ReceiverWindows::forget(MainWindow *window)
{
    m_windows.removeAll(window);
    // The compare view alone would keep the program running.
    if (m_windows.isEmpty() && m_compare)
        m_compare->close();
    if (m_windows.isEmpty() && m_jointCampaign)
        m_jointCampaign->close();
    emit changed();
}

QList<ComparedReceiver> ReceiverWindows::receivers() const
{
    QList<ComparedReceiver> list;
    for (int i = 0; i < m_windows.size(); ++i) {
        MainWindow *window = m_windows.at(i);
        QString name = window->form()->comboBox_com->currentText();
        if (name.isEmpty())
            name = tr("window %1").arg(i + 1);
        for (const ComparedReceiver &earlier : list) {
            if (earlier.name == name)
                name += tr(" (window %1)").arg(i + 1);
        }
        list.append({name, window->receiverModel()});
    }
    return list;
}

QStringList ReceiverWindows::logFilesInUse(const MainWindow *asking) const
{
    QStringList names;
    for (const MainWindow *window : m_windows) {
        if (window != asking && window->isLogging())
            names << window->logFileName();
    }
    return names;
}

void ReceiverWindows::showComparison()
{
    if (!m_compare) {
        m_compare = new CompareView;   // deleted in the destructor
        m_compare->setAttribute(Qt::WA_QuitOnClose, false);
        m_compare->setReceivers(receivers());
        connect(this, &ReceiverWindows::changed, m_compare, [this] { m_compare->setReceivers(receivers()); });
        connect(m_compare, &CompareView::campaignRequested, this, &ReceiverWindows::showJointCampaign);
    }
    m_compare->show();
    m_compare->raise();
    m_compare->activateWindow();
}

void ReceiverWindows::showJointCampaign(int reference, int underTest)
{
    if (m_jointCampaign && m_jointCampaign->campaign()->isRunning()) {
        m_jointCampaign->show();
        m_jointCampaign->raise();
        return;
    }
    delete m_jointCampaign;   // made for the receivers chosen then
    const QList<ComparedReceiver> named = receivers();
    if (reference == underTest || !m_windows.value(reference) || !m_windows.value(underTest))
        return;
    // The campaign holds the two sessions; a window closed takes its
    // session with it.
    const QList<QPointer<ReceiverSession>> sessions{m_windows.at(reference)->session(),
                                                    m_windows.at(underTest)->session()};
    const QList<MainWindow *> windows{m_windows.at(reference), m_windows.at(underTest)};
    m_jointCampaign = new JointCampaignView({named.at(reference).name, named.at(underTest).name});
    m_jointCampaign->setAttribute(Qt::WA_QuitOnClose, false);
    m_jointCampaign->setRestart([sessions](int i, RestartKind kind) {
        return sessions.at(i) && sessions.at(i)->isOpen() && sessions.at(i)->sendRestart(kind);
    });
    m_jointCampaign->setPortCheck([sessions](int i) { return sessions.at(i) && sessions.at(i)->isOpen(); });
    m_jointCampaign->setLogFileName([sessions] { return sessions.at(0) ? sessions.at(0)->logFileName() : QString(); });
    JointCampaign *campaign = m_jointCampaign->campaign();
    for (int i = 0; i < 2; ++i) {
        MainWindow *window = windows.at(i);
        CampaignRun *run = campaign->run(i);
        // As the window's own campaign is fed (app/mainwindow_campaign.cpp).
        ReceiverSession *session = window->session();
        connect(session->receiverModel(), &ReceiverModel::epochFinished, run, &CampaignRun::takeEpoch);
        connect(session, &ReceiverSession::received, run, [run](const QByteArray &block) {
            run->takeBlock(block, ReceiverModel::monotonicMs());
        });
        connect(session, &ReceiverSession::lost, run, &CampaignRun::portLost);
        connect(session, &ReceiverSession::status, run, &CampaignRun::portStatus);
        // A closed window stops the campaign it is part of.
        connect(window, &QObject::destroyed, run, [run] { run->stop(tr("Campaign stopped: its window was closed.")); });
    }
    m_jointCampaign->show();
    m_jointCampaign->raise();
    m_jointCampaign->activateWindow();
}
