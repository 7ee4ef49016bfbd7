#include "sourcedialog/sourcedialog.h"
#include "ui_sourcedialog.h"

#include <QFileDialog>
#include <QPushButton>

namespace {
// The kinds in the order the box lists them.
const SourceAddress::Kind Kinds[] = {SourceAddress::Tcp, SourceAddress::Udp, SourceAddress::Gpsd,
                                     SourceAddress::File, SourceAddress::Serial};
} // namespace

SourceDialog::SourceDialog(const QStringList &recent, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SourceDialog)
{
    ui->setupUi(this);
    for (SourceAddress::Kind kind : Kinds)
        ui->kind->addItem(SourceAddress::kindName(kind), int(kind));
    ui->recent->addItems(recent);
    connect(ui->kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SourceDialog::kindChanged);
    for (QLineEdit *edit : {ui->host, ui->device, ui->path})
        connect(edit, &QLineEdit::textChanged, this, &SourceDialog::fieldsChanged);
    connect(ui->port, QOverload<int>::of(&QSpinBox::valueChanged), this, &SourceDialog::fieldsChanged);
    connect(ui->browse, &QPushButton::clicked, this, &SourceDialog::browse);
    connect(ui->recent, &QListWidget::currentTextChanged, this, &SourceDialog::showAddress);
    connect(ui->recent, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    if (!recent.isEmpty())
        showAddress(recent.first());
    kindChanged();
}

SourceDialog::~SourceDialog()
{
    delete ui;
}

void SourceDialog::kindChanged()
{
    const auto kind = SourceAddress::Kind(ui->kind->currentData().toInt());
    const bool network = kind == SourceAddress::Tcp || kind == SourceAddress::Udp || kind == SourceAddress::Gpsd;
    const bool path = kind == SourceAddress::File || kind == SourceAddress::Serial;
    ui->hostLabel->setVisible(network);
    ui->host->setVisible(network);
    ui->host->setPlaceholderText(kind == SourceAddress::Udp ? tr("any address of this machine") : tr("localhost"));
    ui->portLabel->setVisible(network);
    ui->port->setVisible(network);
    ui->deviceLabel->setVisible(kind == SourceAddress::Gpsd);
    ui->device->setVisible(kind == SourceAddress::Gpsd);
    ui->pathLabel->setVisible(path);
    ui->path->setVisible(path);
    ui->pathLabel->setText(kind == SourceAddress::Serial ? tr("Port") : tr("Log file"));
    ui->browse->setVisible(kind == SourceAddress::File);
    fieldsChanged();
}

QString SourceDialog::address() const
{
    SourceAddress a;
    a.kind = SourceAddress::Kind(ui->kind->currentData().toInt());
    a.host = ui->host->text().trimmed();
    if (a.host.isEmpty() && a.kind != SourceAddress::Udp)
        a.host = QStringLiteral("localhost");
    a.port = ui->port->value();
    a.device = ui->device->text().trimmed();
    a.path = ui->path->text().trimmed();
    if ((a.kind == SourceAddress::File || a.kind == SourceAddress::Serial) && a.path.isEmpty())
        return QString();
    SourceAddress checked;
    QString error;
    return SourceAddress::parse(a.toString(), &checked, &error) ? checked.toString() : QString();
}

void SourceDialog::fieldsChanged()
{
    const QString text = address();
    ui->address->setText(text.isEmpty() ? tr("(incomplete)") : text);
    ui->buttons->button(QDialogButtonBox::Open)->setEnabled(!text.isEmpty());
}

void SourceDialog::showAddress(const QString &text)
{
    SourceAddress a;
    QString error;
    if (!SourceAddress::parse(text, &a, &error))
        return;
    ui->kind->setCurrentIndex(ui->kind->findData(int(a.kind)));
    ui->host->setText(a.host);
    if (a.port > 0)
        ui->port->setValue(a.port);
    ui->device->setText(a.device);
    ui->path->setText(a.path);
    kindChanged();
}

void SourceDialog::browse()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Open a recorded log"), ui->path->text(),
                                                      tr("NMEA logs (*.nma *.nmea *.log *.txt);;All files (*)"));
    if (!file.isEmpty())
        ui->path->setText(file);
}
