#include "link/serialport.h"
#include "link/checksum.h"

#include <QDebug>
#include <QMetaObject>
#include <QSerialPort>
#include <QThread>

serialport::serialport(QObject *parent)
    : QObject(parent)
{
    m_thread = new QThread;
    m_port = new QSerialPort;
    moveToThread(m_thread);
    m_port->moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    connect(m_port, &QSerialPort::readyRead, this, &serialport::handle_data, Qt::QueuedConnection);
}

serialport::~serialport()
{
    // The port belongs to the worker thread: close and free it there, then
    // let the thread end. Must not run in the worker thread itself.
    m_scanFlag = false;
    QSerialPort *port = m_port;
    QMetaObject::invokeMethod(port, [port] {
        port->close();
        delete port;
    }, Qt::BlockingQueuedConnection);
    m_port = nullptr;
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void serialport::handle_data()
{
    const QByteArray block = m_framer.push(m_port->readAll());
    if (block.isEmpty())
        return;
    m_lastBlock = block;
    emit receive_data(m_lastBlock);
}

void serialport::pulseRts(bool withWaits)
{
    m_port->setRequestToSend(false);
    if (withWaits)
        QThread::usleep(30);
    m_port->setRequestToSend(true);
    if (withWaits)
        QThread::usleep(30);
    m_port->setRequestToSend(false);
}

void serialport::writeCommand(const QByteArray &bytes)
{
    // A command ends at its first NUL byte, as a C string would.
    const int nul = bytes.indexOf('\0');
    m_port->write(nul >= 0 ? bytes.left(nul) : bytes);
}

void serialport::write_data(QByteArray data)
{
    pulseRts(true);
    writeCommand(data);
}

void serialport::write_data_btn(QByteArray data)
{
    pulseRts(true);
    writeCommand(get_full_pair_command(data));
}

void serialport::write_PMTKdata(QByteArray data)
{
    pulseRts(false);
    writeCommand(data);
    qDebug() << data;
    emit start_timer();
}

void serialport::check_status()
{
    emit status(m_port->isOpen());
}

void serialport::init_port(QString portName, QString baud)
{
    m_port->setPortName(portName);
    m_port->setBaudRate(baud.toInt(nullptr, 10), QSerialPort::AllDirections);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setFlowControl(QSerialPort::SoftwareControl);
    m_framer.clear();
    if (m_port->open(QIODevice::ReadWrite)) {
        qDebug() << "Port have been opened";
        emit port_open();
    } else {
        qDebug() << "open it failed";
    }
}

void serialport::closeserial()
{
    m_port->close();
    emit isDone();
}

QByteArray serialport::get_full_pair_command(QByteArray command)
{
    return completeCommand(command);
}

void serialport::run()
{
    qDebug() << "serial port" << QThread::currentThread();
    qDebug() << (m_scanFlag ? "true" : "false");
    while (!m_port->isOpen() && m_scanFlag) {
        qDebug() << "gkeke" << 1;
        QThread::sleep(2);
        emit isDone();
    }
}
