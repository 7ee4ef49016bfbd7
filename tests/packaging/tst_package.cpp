// The Debian package unpacked with dpkg -x into a scratch root: the desktop
// entry's program and icons are where it points, with the metadata and the
// manual pages; the Qt libraries the program links are dependencies by
// package name. The installed program, started twice with scratch user
// folders, keeps its settings and logs there and starts with the last port
// and baud rate.
#include "support/ptypair.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString output(const QString &program, const QStringList &arguments, const QString &folder = QString())
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    p.waitForFinished(240000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

speed_t lineSpeed(int fd)
{
    termios tio;
    tcgetattr(fd, &tio);
    return cfgetospeed(&tio);
}
} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopEntryPointsAtInstalledFiles();
    void installedProgramStartsWithTheLastConnection();

private:
    QTemporaryDir m_dir;
    QString m_deb;
    QString m_root;
};

void TestPackage::initTestCase()
{
    const QString out = m_dir.filePath(QStringLiteral("out"));
    output(QStringLiteral("cpack"), {"-G", "DEB", "-B", out}, QStringLiteral(SKYLOUPE_BUILD_DIR));
    const QStringList debs = QDir(out).entryList({"*.deb"});
    QCOMPARE(debs.size(), 1);
    m_deb = out + QLatin1Char('/') + debs.first();
    m_root = m_dir.filePath(QStringLiteral("root"));
    QCOMPARE(QProcess::execute(QStringLiteral("dpkg"), {"-x", m_deb, m_root}), 0);
}

void TestPackage::desktopEntryPointsAtInstalledFiles()
{
    const QString share = m_root + QStringLiteral("/usr/share/");
    QFile entry(share + QStringLiteral("applications/org.kestrela.Skyloupe.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QHash<QByteArray, QString> keys;
    for (const QByteArray &line : entry.readAll().split('\n'))
        keys.insert(line.left(line.indexOf('=')), QString::fromUtf8(line.mid(line.indexOf('=') + 1)));
    QVERIFY(QFileInfo(m_root + "/usr/bin/" + keys.value("Exec").section(' ', 0, 0)).isExecutable());
    QVERIFY(QFileInfo(m_root + "/usr/bin/skyloupe-sim").isExecutable());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QCOMPARE(QImageReader(share + QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(keys.value("Icon")))
                     .size(), QSize(size, size));
    QFile meta(share + QStringLiteral("metainfo/org.kestrela.Skyloupe.metainfo.xml"));
    QVERIFY(meta.open(QIODevice::ReadOnly));
    QVERIFY(meta.readAll().contains("<launchable type=\"desktop-id\">org.kestrela.Skyloupe.desktop</launchable>"));
    for (const char *page : {"skyloupe.1.gz", "skyloupe-sim.1.gz"})
        QVERIFY2(QFileInfo::exists(share + "man/man1/" + page), page);

    // Each Qt library the program needs belongs to a package the .deb depends on.
    const QStringList depends = output("dpkg-deb", {"-f", m_deb, "Depends"}).split(QRegularExpression("[ ,|]+"));
    const QString dynamic = output("readelf", {"-d", m_root + "/usr/bin/skyloupe"});
    QRegularExpressionMatchIterator qt = QRegularExpression("\\[(libQt5\\w+\\.so\\.5)\\]").globalMatch(dynamic);
    QVERIFY(qt.hasNext());
    while (qt.hasNext()) {
        const QString library = qt.next().captured(1);
        const QString owner = output("dpkg", {"-S", library}).section(':', 0, 0);
        QVERIFY2(depends.contains(owner), qPrintable(library + " is in " + owner));
    }
}

void TestPackage::installedProgramStartsWithTheLastConnection()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const QString home = m_dir.filePath(QStringLiteral("home"));
    const QString work = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(work));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");

    // First with the port and rate named, then with neither.
    for (const QStringList &arguments : {QStringList{"--port", pty.slavePath(), "--baud", "38400", "--connect"},
                                         QStringList{"--connect"}}) {
        termios tio;
        tcgetattr(pty.slaveFd(), &tio);
        cfsetspeed(&tio, B115200);
        tcsetattr(pty.slaveFd(), TCSANOW, &tio);
        QProcess app;
        app.setProcessEnvironment(env);
        app.setWorkingDirectory(work);
        app.start(m_root + "/usr/bin/skyloupe", arguments);
        // Up once it sends its version query, after remembering the connection.
        QVERIFY(!pty.read(1, 20000).isEmpty());
        QCOMPARE(lineSpeed(pty.slaveFd()), speed_t(B38400));
        app.kill();
        app.waitForFinished();
    }
    QVERIFY(!QDir(home + "/Documents/Kestrela Skyloupe").entryList({"*.nma"}).isEmpty());
    const QSettings config(home + "/.config/Kestrela Skyloupe/config.ini", QSettings::IniFormat);
    QCOMPARE(config.value("BaseConfig/StyleName").toString(), QStringLiteral(":/lightblack.css"));
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
