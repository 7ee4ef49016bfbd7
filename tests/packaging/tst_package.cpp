// The Debian package unpacked with dpkg -x into a scratch root, and the
// installed program started from there twice with scratch user folders.
#include "support/ptypair.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString output(const QString &program, const QStringList &arguments, const QString &folder = QString())
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    p.waitForFinished(240000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}
} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopEntryPointsAtInstalledFiles();
    void installedProgramStartsWithTheLastConnection();
    void lintianFindsNoErrors();

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
    for (const QString &program : {keys.value("Exec").section(' ', 0, 0), QStringLiteral("skyloupe-sim")})
        QVERIFY(QFileInfo(m_root + "/usr/bin/" + program).isExecutable());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QCOMPARE(QImageReader(share + QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(keys.value("Icon")))
                     .size(), QSize(size, size));
    for (const char *file : {"metainfo/org.kestrela.Skyloupe.metainfo.xml", "man/man1/skyloupe.1.gz"})
        QVERIFY2(QFileInfo::exists(share + file), file);

    // Each Qt and plotting library the program needs is in a package the
    // .deb depends on.
    const QStringList depends = output("dpkg-deb", {"-f", m_deb, "Depends"}).split(QRegularExpression("[ ,|]+"));
    const QString dynamic = output("readelf", {"-d", m_root + "/usr/bin/skyloupe"});
    auto needed = QRegularExpression("\\[(libQt5\\w+\\.so\\.5|libqwt[\\w-]*\\.so\\.\\d+)\\]").globalMatch(dynamic);
    while (needed.hasNext()) {
        const QString library = needed.next().captured(1);
        const QString owner = output("dpkg", {"-S", library}).section(':', 0, 0);
        QVERIFY2(depends.contains(owner), qPrintable(library + " is in " + owner));
    }
}

void TestPackage::installedProgramStartsWithTheLastConnection()
{
    PtyPair pty;
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    // First with the port and rate named, then with neither: 38400 baud both times.
    for (const QStringList &arguments : {QStringList{"--port", pty.slavePath(), "--baud", "38400", "--connect"},
                                         QStringList{"--connect"}}) {
        output("stty", {"-F", pty.slavePath(), "115200"});
        pty.read(1 << 16, 200);   // nothing left of the first start
        QProcess app;
        app.setProcessEnvironment(env);
        app.setWorkingDirectory(m_dir.path());
        app.start(m_root + "/usr/bin/skyloupe", arguments);
        // Its version query comes after it remembered the connection.
        QVERIFY(!pty.read(1, 20000).isEmpty());
        QCOMPARE(output("stty", {"-F", pty.slavePath(), "speed"}), QStringLiteral("38400"));
        app.kill();
        app.waitForFinished();
    }
    QVERIFY(!QDir(home + "/Documents/Kestrela Skyloupe").entryList({"*.nma"}).isEmpty());
    const QSettings config(home + "/.config/Kestrela Skyloupe/config.ini", QSettings::IniFormat);
    QCOMPARE(config.value("BaseConfig/StyleName").toString(), QStringLiteral(":/lightblack.css"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"home", "out", "root"}));
}

void TestPackage::lintianFindsNoErrors()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian is not installed (scripts/install-deps.sh installs it)");
    QProcess lintian;
    lintian.setProcessChannelMode(QProcess::MergedChannels);
    lintian.start(QStringLiteral("lintian"), {"--display-info", "--tag-display-limit", "0", m_deb});
    QVERIFY(lintian.waitForFinished(240000));
    const QString report = QString::fromLocal8Bit(lintian.readAll());
    // Warnings and notes stay in the test's output, for the record.
    qInfo().noquote() << "lintian:\n" << report;
    const QStringList errors = report.split(QLatin1Char('\n')).filter(QRegularExpression("^E: "));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    // The documentation Debian asks of every package.
    const QString doc = m_root + QStringLiteral("/usr/share/doc/kestrela-skyloupe/");
    QVERIFY(QFileInfo::exists(doc + QStringLiteral("copyright")));
    QVERIFY(QFileInfo::exists(doc + QStringLiteral("changelog.gz")));
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
