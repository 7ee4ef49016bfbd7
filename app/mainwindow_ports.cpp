// The port list refresher and the port state, as the window applies them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/portlist.h"
#include "link/serialport.h"
#include "session/bytesource.h"
#include "session/receiversession.h"

#include <QAbstractItemView>
#include <QSerialPortInfo>
#include <QStatusBar>
#include <QStyledItemDelegate>

namespace {
constexpr int MessageMs = 8000;
// The port's maker and description, beside its name that stays the text.
constexpr int PortAboutRole = Qt::UserRole + 1;

// Draws a port entry of the open box in two lines: the name, then what the
// system says of the port, when it says anything.
class PortEntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString about = index.data(PortAboutRole).toString();
        if (!about.isEmpty())
            option->text += QChar(QChar::LineSeparator) + about;
    }
};
} // namespace

QStringList MainWindow::systemPortNames()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names;
}

QHash<QString, QString> MainWindow::systemPortAbouts()
{
    QHash<QString, QString> abouts;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        abouts.insert(info.portName(), portAbout(info.description(), info.manufacturer()));
    return abouts;
}

void MainWindow::setPortEnumerator(std::function<QStringList()> enumerate)
{
    m_enumeratePorts = std::move(enumerate);
}

void MainWindow::setPortDescriber(std::function<QHash<QString, QString>()> describe)
{
    m_describePorts = std::move(describe);
    describePorts();
}

void MainWindow::describePorts()
{
    QComboBox *box = ui->comboBox_com;
    if (!dynamic_cast<PortEntryDelegate *>(box->itemDelegate()))
        box->setItemDelegate(new PortEntryDelegate(box));
    const QHash<QString, QString> abouts = m_describePorts();
    for (int i = 0; i < box->count(); ++i) {
        const QString name = box->itemText(i);
        const QString about = abouts.value(name);
        box->setItemData(i, about, PortAboutRole);
        box->setItemData(i, about.isEmpty() ? name : name + QStringLiteral(" \u2014 ") + about, Qt::ToolTipRole);
    }
    // The box itself is narrow: its list opens as wide as its entries.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 2 * box->view()->frameWidth());
}

void MainWindow::offerPort(const QString &name)
{
    if (name.isEmpty())
        return;
    if (!m_offeredPorts.contains(name))
        m_offeredPorts.append(name);
    if (ui->comboBox_com->findText(name) < 0) {
        ui->comboBox_com->addItem(name);
        describePorts();
    }
    ui->comboBox_com->setCurrentText(name);
}

void MainWindow::updateport()
{
    if (serialport *serial = worker())
        serial->setScanFlag(false);
    const QStringList listed = m_enumeratePorts();
    const PortListUpdate update = refreshPortList(m_portNames, listed, m_offeredPorts,
                                                  ui->comboBox_com->currentText());
    if (update.rebuild) {
        m_portNames = update.names;
        ui->comboBox_com->clear();
        ui->comboBox_com->addItems(m_portNames);
        ui->comboBox_com->setCurrentText(update.selected);
        describePorts();
    }
    reconnectIfBack(listed);
    emit check_status_signal();
}

void MainWindow::statuslot(bool open)
{
    const bool wasConnected = m_shownOpen;
    m_shownOpen = open;
    if (open) {
        ui->ctn_btn->setText(QStringLiteral("Disconnect"));
        ui->comboBox_com->setEnabled(false);
        if (!wasConnected)
            connectionOpened();
    } else {
        // Disconnect, or a source that closed under us (unplugged, the peer
        // hung up); the session closed its log. While the lost source is
        // waited for, Disconnect stays to end the wait.
        const bool watching = m_watch.isWatching() || m_session->source()->isReconnecting();
        ui->ctn_btn->setText(watching ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
        ui->comboBox_com->setEnabled(!watching);
        emit startthread();
    }
    if (open != wasConnected)
        emit connectionChanged();
}

void MainWindow::showLinkMessage(const QString &message)
{
    statusBar()->showMessage(message, MessageMs);
}
