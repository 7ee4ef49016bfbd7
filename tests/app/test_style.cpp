// Start-up styling: config.ini in the working directory, the applied light
// sheet with its palette and extra rules, and the compiled-in resources.
#include "app/style.h"

#include <QtTest>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <sys/stat.h>

static QStringList g_messages;

static void captureMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    // The offscreen platform's own notice is no fault of a sheet.
    if (type != QtDebugMsg && type != QtInfoMsg && !text.contains(QLatin1String("propagateSizeHints")))
        g_messages << text;
}

// The eight colours of the light sheet's closing comments.
static const char *const lightColours[][2] = {
    {"TextColor", "#E7ECF0"},        {"PanelColor", "#CFD5EA"},
    {"BorderColor", "#58BC4A"},      {"NormalColorStart", "#BFFF09"},
    {"NormalColorEnd", "#566373"},   {"DarkColorStart", "#778899"},
    {"DarkColorEnd", "#708090"},     {"HighColor", "#00BB9E"},
};

static const char *const indicatorImages[] = {
    "add_bottom", "add_left", "add_right", "add_top", "branch_close", "branch_open",
    "calendar_nextmonth", "calendar_prevmonth", "checkbox_checked", "checkbox_checked_disable",
    "checkbox_parcial", "checkbox_parcial_disable", "checkbox_unchecked",
    "checkbox_unchecked_disable", "radiobutton_check", "radiobutton_checked",
    "radiobutton_checked_disable", "radiobutton_uncheck", "radiobutton_unchecked",
    "radiobutton_unchecked_disable",
};

static QString readSheet(const QString &path)
{
    QFile file(path);
    if (!file.open(QFile::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

class TestStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void configFile_data();
    void configFile();
    void unwritableConfig_data();
    void unwritableConfig();
    void appliedStyle();
    void unreadableSheetChangesNothing();

    void sheetUrls_data();
    void sheetUrls();
    void sheetsParse_data();
    void sheetsParse();
    void sheetStructure();
    void images_data();
    void images();

private:
    QString m_startDir;
};

void TestStyle::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    m_startDir = QDir::currentPath();
}

void TestStyle::init()
{
    // Every test starts from the settings a fresh process has.
    StyleSettings::ConfigFile = QStringLiteral("config.ini");
    StyleSettings::StyleName = QStringLiteral(":/qss/blackvideo.css");
    for (QString *colour : {&StyleSettings::TextColor, &StyleSettings::PanelColor,
                            &StyleSettings::BorderColor, &StyleSettings::NormalColorStart,
                            &StyleSettings::NormalColorEnd, &StyleSettings::DarkColorStart,
                            &StyleSettings::DarkColorEnd, &StyleSettings::HighColor})
        *colour = QStringLiteral("#151515");
    qApp->setStyleSheet(QString());
    QApplication::setPalette(QPalette(QColor(Qt::red)));
    g_messages.clear();
}

void TestStyle::cleanup()
{
    qInstallMessageHandler(nullptr);
    QDir::setCurrent(m_startDir);
}

void TestStyle::configFile_data()
{
    QTest::addColumn<QByteArray>("before");          // empty: no file
    QTest::addColumn<QStringList>("keptKeys");        // "group/key=value"

    QTest::newRow("created when missing") << QByteArray() << QStringList();
    QTest::newRow("other style name overwritten, other keys kept")
        << QByteArray("[BaseConfig]\nStyleName=:/qss/blackvideo.css\nLanguage=en\n\n"
                      "[Window]\nWidth=1280\nHeight=720\n")
        << QStringList{QStringLiteral("BaseConfig/Language=en"),
                       QStringLiteral("Window/Width=1280"), QStringLiteral("Window/Height=720")};
    QTest::newRow("group added to a file without it")
        << QByteArray("[Ports]\nLast=ttyUSB0\n")
        << QStringList{QStringLiteral("Ports/Last=ttyUSB0")};
}

void TestStyle::configFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, keptKeys);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!before.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("config.ini")));
        QVERIFY(file.open(QFile::WriteOnly));
        file.write(before);
    }
    QVERIFY(QDir::setCurrent(dir.path()));

    StyleSettings::startUp();

    QFile written(dir.filePath(QStringLiteral("config.ini")));
    QVERIFY(written.open(QFile::ReadOnly | QFile::Text));
    const QStringList lines = QString::fromLatin1(written.readAll()).split(QLatin1Char('\n'));
    // The key sits under its group header, before any other group starts.
    const int group = lines.indexOf(QStringLiteral("[BaseConfig]"));
    QVERIFY(group >= 0);
    int key = -1;
    for (int i = group + 1; i < lines.size() && !lines.at(i).startsWith(QLatin1Char('[')); ++i) {
        if (lines.at(i).startsWith(QLatin1String("StyleName=")))
            key = i;
    }
    QVERIFY2(key > group, qPrintable(lines.join(QLatin1Char('|'))));
    QCOMPARE(lines.at(key), QStringLiteral("StyleName=:/lightblack.css"));
    QCOMPARE(lines.filter(QStringLiteral("StyleName=")).size(), 1);

    QSettings read(dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
    for (const QString &kept : keptKeys) {
        const QString path = kept.section(QLatin1Char('='), 0, 0);
        QCOMPARE(read.value(path).toString(), kept.section(QLatin1Char('='), 1));
    }
}

void TestStyle::unwritableConfig_data()
{
    QTest::addColumn<bool>("readOnlyDir");
    QTest::newRow("read-only working directory") << true;
    // Fails for every user, root included.
    QTest::newRow("config.ini is a directory") << false;
}

void TestStyle::unwritableConfig()
{
    QFETCH(bool, readOnlyDir);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.path());
    if (readOnlyDir) {
        QVERIFY(::chmod(path.constData(), 0555) == 0);
        QFile probe(dir.filePath(QStringLiteral("probe")));
        if (probe.open(QFile::WriteOnly)) {
            probe.close();
            probe.remove();
            ::chmod(path.constData(), 0755);
            QSKIP("this user may write into a read-only directory (root); "
                  "the row \"config.ini is a directory\" covers the failure instead");
        }
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("config.ini")));
    }
    QVERIFY(QDir::setCurrent(dir.path()));

    StyleSettings::startUp();
    QDir::setCurrent(m_startDir);
    if (readOnlyDir)
        ::chmod(path.constData(), 0755);

    // Nothing written, and the style is applied all the same.
    const QFileInfo config(dir.filePath(QStringLiteral("config.ini")));
    QCOMPARE(config.exists(), !readOnlyDir);
    QCOMPARE(config.isDir(), !readOnlyDir);
    QCOMPARE(StyleSettings::StyleName, QStringLiteral(":/lightblack.css"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0xCF, 0xD5, 0xEA));
    QVERIFY(qApp->styleSheet().startsWith(QLatin1String("QPalette{background:#CFD5EA;}")));
}

void TestStyle::appliedStyle()
{
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    StyleSettings::startUp();

    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0xCF, 0xD5, 0xEA));
    QCOMPARE(QApplication::palette().color(QPalette::Button), QColor(0xCF, 0xD5, 0xEA));

    const QString *settings[] = {
        &StyleSettings::TextColor, &StyleSettings::PanelColor, &StyleSettings::BorderColor,
        &StyleSettings::NormalColorStart, &StyleSettings::NormalColorEnd,
        &StyleSettings::DarkColorStart, &StyleSettings::DarkColorEnd, &StyleSettings::HighColor,
    };
    for (int i = 0; i < 8; ++i)
        QCOMPARE(*settings[i], QString::fromLatin1(lightColours[i][1]));

    // The sheet as stored, then the six rules in order, with the light colours.
    const QString sheet = readSheet(QStringLiteral(":/lightblack.css"));
    QVERIFY(!sheet.isEmpty());
    const QString rules = QStringLiteral(
        "QMenuBar{border-left-width:0px;}"
        "QTreeWidget{border-top-width:0px;border-bottom-width:0px;padding-top:3px;}"
        "QTableWidget{border-width:0px;}"
        "#labLogo{background-color:#BFFF09;}"
        "#widget3D{background-color:#BFFF09;}"
        "NavTitle{qproperty-text:\"\";qproperty-leftIcon:0;qproperty-bgColor:#58BC4A;"
        "qproperty-textColor:#E7ECF0;qproperty-iconNormalColor:#E7ECF0;"
        "qproperty-iconHoverColor:#E7ECF0;qproperty-iconPressColor:#E7ECF0;}");
    QCOMPARE(qApp->styleSheet(), sheet + rules);
}

void TestStyle::unreadableSheetChangesNothing()
{
    qApp->setStyleSheet(QStringLiteral("QLabel{color:blue;}"));
    StyleSettings::initStyle(QStringLiteral(":/no/such/sheet.css"));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel{color:blue;}"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(StyleSettings::TextColor, QStringLiteral("#151515"));
    QCOMPARE(StyleSettings::PanelColor, QStringLiteral("#151515"));
}

void TestStyle::sheetUrls_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::newRow("light") << QStringLiteral(":/lightblack.css");
    QTest::newRow("dark") << QStringLiteral(":/darkblack.css");
}

void TestStyle::sheetUrls()
{
    QFETCH(QString, sheet);
    const QString text = readSheet(sheet);
    QVERIFY(!text.isEmpty());

    QSet<QString> named;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("url\\(\\s*[\"']?([^\"')]*)[\"']?\\s*\\)")).globalMatch(text);
    while (it.hasNext()) {
        const QString target = it.next().captured(1);
        QVERIFY2(QFile::exists(target), qPrintable(target));
        QVERIFY2(!QImage(target).isNull(), qPrintable(target));
        named.insert(target);
    }
    // Both sheets use every indicator and arrow image, and nothing else.
    QSet<QString> expected;
    for (const char *name : indicatorImages)
        expected.insert(QStringLiteral(":/darkblack/%1.png").arg(QLatin1String(name)));
    QCOMPARE(named, expected);
}

void TestStyle::sheetsParse_data()
{
    sheetUrls_data();
}

void TestStyle::sheetsParse()
{
    QFETCH(QString, sheet);
    qInstallMessageHandler(captureMessage);
    qApp->setStyleSheet(readSheet(sheet));

    // One of each standard widget, polished and painted under the sheet.
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Tool"))->addAction(QStringLiteral("Clear"));
    window.addToolBar(QStringLiteral("tools"))->addAction(QStringLiteral("HOT"));
    window.statusBar()->showMessage(QStringLiteral("ready"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("9600"), QStringLiteral("115200")});
    layout->addWidget(combo);
    layout->addWidget(new QPushButton(QStringLiteral("Connect")));
    layout->addWidget(new QSpinBox);
    auto *check = new QCheckBox(QStringLiteral("check"));
    check->setTristate(true);
    check->setCheckState(Qt::PartiallyChecked);
    layout->addWidget(check);
    layout->addWidget(new QRadioButton(QStringLiteral("radio")));
    auto *progress = new QProgressBar;
    progress->setValue(40);
    layout->addWidget(progress);
    auto *group = new QGroupBox(QStringLiteral("group"));
    group->setCheckable(true);
    layout->addWidget(group);
    auto *tabs = new QTabWidget;
    auto *table = new QTableWidget(30, 4);
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("GGA")));
    tabs->addTab(table, QStringLiteral("NMEA"));
    auto *tree = new QTreeWidget;
    new QTreeWidgetItem(new QTreeWidgetItem(tree, {QStringLiteral("parent")}), {QStringLiteral("child")});
    tabs->addTab(tree, QStringLiteral("Information"));
    layout->addWidget(tabs);
    layout->addWidget(new QCalendarWidget);
    window.setCentralWidget(central);
    window.resize(640, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.grab().isNull());
    tabs->setCurrentIndex(1);
    QVERIFY(!window.grab().isNull());

    QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join(QLatin1Char('\n'))));
}

void TestStyle::sheetStructure()
{
    const QString light = readSheet(QStringLiteral(":/lightblack.css"));
    const QString dark = readSheet(QStringLiteral(":/darkblack.css"));
    QVERIFY(!light.isEmpty() && !dark.isEmpty());

    // Stored as Latin-1 text with CRLF line ends.
    QVERIFY(light.contains(QLatin1String("\r\n")));
    QVERIFY(!light.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));

    // The ground of the palette, then outline and text colour of every widget.
    const QStringList lines = light.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.at(0), QStringLiteral("QPalette{background:#CFD5EA;}"));
    QCOMPARE(lines.at(1), QStringLiteral("*{outline:0px;color:#151515;}"));

    // Ends with one comment per style colour, in order.
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(lines.at(lines.size() - 8 + i),
                 QStringLiteral("/*%1:%2*/").arg(QLatin1String(lightColours[i][0]),
                                                 QLatin1String(lightColours[i][1])));
    }

    // The dark sheet has the same rules, selector for selector.
    auto selectors = [](const QString &sheet) {
        QStringList found;
        for (const QString &line : sheet.split(QStringLiteral("\r\n"))) {
            const int brace = line.indexOf(QLatin1Char('{'));
            if (brace > 0)
                found << line.left(brace);
        }
        return found;
    };
    const QStringList lightSelectors = selectors(light);
    QVERIFY2(lightSelectors.size() >= 100, qPrintable(QString::number(lightSelectors.size())));
    QCOMPARE(selectors(dark), lightSelectors);
    QCOMPARE(dark.count(QLatin1Char('{')), light.count(QLatin1Char('{')));
    QCOMPARE(dark.count(QLatin1Char('}')), dark.count(QLatin1Char('{')));
}

void TestStyle::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("hue");   // dominant hue at the centre, -1: not checked

    QTest::newRow("red lamp without suffix") << QStringLiteral(":/redd") << true << 0;
    QTest::newRow("green lamp without suffix") << QStringLiteral(":/green") << true << 120;
    QTest::newRow("logo") << QStringLiteral(":/LOGO.png") << true << -1;
    QTest::newRow("image not in the bundle") << QStringLiteral(":/yellow") << false << -1;
}

void TestStyle::images()
{
    QFETCH(QString, path);
    QFETCH(bool, present);
    QFETCH(int, hue);

    qInstallMessageHandler(captureMessage);
    const QImage image(path);
    QCOMPARE(image.isNull(), !present);
    QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join(QLatin1Char('\n'))));
    if (hue >= 0) {
        const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
        QCOMPARE(centre.alpha(), 255);
        const int distance = qAbs(centre.hslHue() - hue);
        QVERIFY2(qMin(distance, 360 - distance) < 30, qPrintable(centre.name()));
    }
}

QTEST_MAIN(TestStyle)
#include "test_style.moc"
