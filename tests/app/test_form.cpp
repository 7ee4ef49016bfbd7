// The main window's form as the window builds it: objects, texts, tables,
// menus, and the finishing of the three tables.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void objectsExistWithTheirClass_data();
    void objectsExistWithTheirClass();
    void fixedTexts_data();
    void fixedTexts();
    void baudItems();
    void commandLineStartsEmpty();
    void statisticsGrid_data();
    void statisticsGrid();
    void sentenceTable();
    void informationTable_data();
    void informationTable();
    void menus();
    void tableFinishing();

private:
    MainWindow *m_window = nullptr;
    Ui::MainWindow *ui = nullptr;
};

void TestForm::initTestCase()
{
    m_window = new MainWindow;
    ui = m_window->form();
}

void TestForm::cleanupTestCase()
{
    delete m_window;
}

void TestForm::objectsExistWithTheirClass_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    const QList<QPair<const char *, const char *>> objects = {
        {"actionSave_NMEA_Log", "QAction"}, {"actionClose_NMEA_File", "QAction"},
        {"actionAbout", "QAction"}, {"actionTTFF_Testing", "QAction"},
        {"actionClear_Data", "QAction"}, {"centralwidget", "QWidget"},
        {"gridLayout_3", "QGridLayout"}, {"widget_2", "QWidget"},
        {"horizontalLayout_2", "QHBoxLayout"}, {"label", "QLabel"},
        {"comboBox_com", "QComboBox"}, {"label_2", "QLabel"}, {"comboBox_2", "QComboBox"},
        {"ctn_btn", "QPushButton"}, {"PAIR_line", "QComboBox"}, {"btn111", "QPushButton"},
        {"horizontalLayout", "QHBoxLayout"}, {"polar_widget", "polar_plot"},
        {"info_table", "QTableWidget"}, {"tabWidget", "QTabWidget"}, {"tab", "QWidget"},
        {"gridLayout", "QGridLayout"}, {"Log_text", "QTableWidget"}, {"tab_2", "QWidget"},
        {"gridLayout_2", "QGridLayout"}, {"info_item", "QTableWidget"},
        {"Bar_plot", "bar_plot"}, {"menubar", "QMenuBar"}, {"menuTool", "QMenu"},
        {"menuHelp", "QMenu"}, {"statusbar", "QStatusBar"},
    };
    for (const auto &o : objects)
        QTest::newRow(o.first) << QString::fromLatin1(o.first) << QString::fromLatin1(o.second);
}

void TestForm::objectsExistWithTheirClass()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QObject *object = m_window->findChild<QObject *>(name);
    QVERIFY2(object, qPrintable(name + " is missing"));
    // polar_plot and bar_plot declare no meta-object of their own: they
    // report QWidget, so check them by cast.
    if (className == QLatin1String("polar_plot"))
        QCOMPARE(static_cast<QObject *>(ui->polar_widget), object);
    else if (className == QLatin1String("bar_plot"))
        QCOMPARE(static_cast<QObject *>(ui->Bar_plot), object);
    else
        QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);
}

void TestForm::fixedTexts_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QTest::newRow("port label ends in a space") << ui->label->text() << "COM Port: ";
    QTest::newRow("baud label") << ui->label_2->text() << "Baud Rate:";
    QTest::newRow("connect button") << ui->ctn_btn->text() << "Connect";
    QTest::newRow("send button") << ui->btn111->text() << "Send";
    QTest::newRow("first tab") << ui->tabWidget->tabText(0) << "NMEA";
    QTest::newRow("second tab") << ui->tabWidget->tabText(1) << "Information";
    QTest::newRow("open action") << ui->actionSave_NMEA_Log->text() << "Open NMEA File";
    QTest::newRow("close action") << ui->actionClose_NMEA_File->text() << "Close NMEA File";
    QTest::newRow("tool menu") << ui->menuTool->title() << "Tool";
    QTest::newRow("help menu") << ui->menuHelp->title() << "Help";
}

void TestForm::fixedTexts()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void TestForm::baudItems()
{
    const QStringList expected{"9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"};
    QStringList items;
    for (int i = 0; i < ui->comboBox_2->count(); ++i)
        items << ui->comboBox_2->itemText(i);
    QCOMPARE(items, expected);
    QCOMPARE(ui->comboBox_2->currentText(), QStringLiteral("9600"));
    QCOMPARE(ui->comboBox_com->insertPolicy(), QComboBox::InsertAtBottom);
    QCOMPARE(ui->comboBox_com->maximumSize(), QSize(120, 1000));
}

void TestForm::commandLineStartsEmpty()
{
    QVERIFY(ui->PAIR_line->isEditable());
    QCOMPARE(ui->PAIR_line->count(), 0);
    QCOMPARE(ui->PAIR_line->currentIndex(), -1);
    QCOMPARE(ui->PAIR_line->currentText(), QString());
}

void TestForm::statisticsGrid_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    const QList<std::tuple<int, int, const char *>> cells = {
        {0, 0, "System Use:"}, {0, 1, "GPS"}, {0, 2, "GLO"}, {0, 3, "GAL"}, {0, 4, "BEI"},
        {0, 5, "QZS"}, {1, 0, "Satellite in view:"}, {2, 0, "Fixed satellite:"},
        {3, 0, "Top 4 CNR average:"}, {4, 0, "Peak CNR:"}, {5, 0, "Fixed Status:"},
        {5, 1, "2D Fix"}, {5, 3, "3D Fix"},
    };
    for (const auto &c : cells)
        QTest::newRow(std::get<2>(c)) << std::get<0>(c) << std::get<1>(c) << QString::fromUtf8(std::get<2>(c));
}

void TestForm::statisticsGrid()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QTableWidget *grid = ui->info_table;
    QCOMPARE(grid->rowCount(), 6);
    QCOMPARE(grid->columnCount(), 6);
    QVERIFY(!grid->showGrid());
    QVERIFY(grid->horizontalHeader()->isHidden());
    QVERIFY(grid->verticalHeader()->isHidden());
    QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(grid->item(row, column));
    QCOMPARE(grid->item(row, column)->text(), text);
}

void TestForm::sentenceTable()
{
    QTableWidget *table = ui->Log_text;
    QCOMPARE(table->rowCount(), 200);
    QCOMPARE(table->columnCount(), 3);
    QVERIFY(table->showGrid());
    QVERIFY(table->horizontalHeader()->isHidden());
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->font().family(), QStringLiteral("Arial"));
    QCOMPARE(table->font().pointSize(), 10);
}

void TestForm::informationTable_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("label");
    const QList<QPair<const char *, const char *>> rows = {
        {"GGA", "UTC Time"}, {"GGA", "Latitude"}, {"GGA", "N/S"}, {"GGA", "Longitude"},
        {"GGA", "E/W"}, {"GGA", "Sat in use"}, {"GGA", "Altitude"}, {"GSA", "Fix Status"},
        {"GGA", "PDOP"}, {"GSA", "VDOP"}, {"GSA", "HDOP"}, {"", ""},
    };
    for (int r = 0; r < rows.size(); ++r)
        QTest::newRow(qPrintable(QStringLiteral("row %1").arg(r)))
            << r << QString::fromLatin1(rows[r].first) << QString::fromLatin1(rows[r].second);
}

void TestForm::informationTable()
{
    QFETCH(int, row);
    QFETCH(QString, source);
    QFETCH(QString, label);
    QTableWidget *info = ui->info_item;
    QCOMPARE(info->rowCount(), 12);
    QCOMPARE(info->columnCount(), 3);
    QVERIFY(info->item(row, 0));
    QVERIFY(info->item(row, 1));
    QCOMPARE(info->item(row, 0)->text(), source);
    QCOMPARE(info->item(row, 1)->text(), label);
}

void TestForm::menus()
{
    const QList<QAction *> bar = ui->menubar->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar.at(0)->menu(), ui->menuTool);
    QCOMPARE(bar.at(1)->text(), QStringLiteral("View"));
    QCOMPARE(bar.at(2)->menu(), ui->menuHelp);

    // The View menu shows and hides the five docks, hidden at first; a
    // hidden dock takes no room from the window's own layout.
    const QList<QAction *> views = bar.at(1)->menu()->actions();
    const QStringList titles{"Signal history", "Position accuracy", "Sentence rates and errors", "Corrections", "Map"};
    QCOMPARE(views.size(), titles.size());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QWidget *central = m_window->centralWidget();
    for (int i = 0; i < views.size(); ++i) {
        QCOMPARE(views.at(i)->text(), titles.at(i));
        QDockWidget *dock = m_window->viewDocks().at(i);
        QVERIFY(!dock->isVisible());
        QCOMPARE(central->width(), m_window->width());
        views.at(i)->trigger();
        QTRY_VERIFY(dock->isVisible());
        // Beside the main view where it leaves the grid whole, else floating.
        QTRY_VERIFY(dock->isFloating() || central->width() < m_window->width());
        views.at(i)->trigger();
        QTRY_VERIFY(!dock->isVisible());
        QTRY_COMPARE(central->width(), m_window->width());
    }

    const QList<QAction *> tool = ui->menuTool->actions();
    QCOMPARE(tool.size(), 11);
    QCOMPARE(tool.at(0)->text(), QStringLiteral("Open source..."));
    QCOMPARE(tool.at(1), ui->actionTTFF_Testing);
    QCOMPARE(tool.at(2), ui->actionTTFF_Campaign);
    QVERIFY(tool.at(3)->isSeparator());
    QCOMPARE(tool.at(4), ui->actionClear_Data);
    QVERIFY(tool.at(5)->isSeparator());
    QCOMPARE(tool.at(6)->text(), QStringLiteral("Open log folder"));
    QVERIFY(tool.at(7)->isCheckable() && tool.at(7)->isChecked());   // reconnect, on at first
    QCOMPARE(tool.at(8)->text(), QStringLiteral("Find baud rate"));
    QVERIFY(tool.at(9)->isSeparator());
    QCOMPARE(tool.at(10)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(ui->menuHelp->actions(), QList<QAction *>{ui->actionAbout});

    // The two file actions are in no menu.
    for (QMenu *menu : {ui->menuTool, ui->menuHelp}) {
        QVERIFY(!menu->actions().contains(ui->actionSave_NMEA_Log));
        QVERIFY(!menu->actions().contains(ui->actionClose_NMEA_File));
    }
}

void TestForm::tableFinishing()
{
    QTableWidget *grid = ui->info_table;
    QCOMPARE(grid->horizontalHeader()->defaultSectionSize(), 120);
    QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 60);
    QCOMPARE(grid->columnWidth(0), 120);
    QCOMPARE(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    const QColor colours[] = {QColor(100, 100, 255), QColor(255, 153, 0), QColor(97, 146, 0),
                              QColor(153, 102, 51), QColor(242, 98, 0)};
    for (int column = 1; column <= 5; ++column) {
        QTableWidgetItem *title = grid->item(0, column);
        QCOMPARE(title->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(title->background().color(), colours[column - 1]);
        QCOMPARE(title->background().style(), Qt::SolidPattern);
        QCOMPARE(title->font().family(), QStringLiteral("Arial"));
        QCOMPARE(title->font().pointSize(), 12);
    }

    const QString itemSheet = QStringLiteral("QTableView::Item{background-color:#FFFFDB}");
    QCOMPARE(ui->Log_text->styleSheet(), itemSheet);
    QCOMPARE(ui->info_item->styleSheet(), itemSheet);

    QHeaderView *columns = ui->info_item->horizontalHeader();
    QCOMPARE(columns->sectionResizeMode(0), QHeaderView::Interactive);
    QCOMPARE(columns->sectionResizeMode(1), QHeaderView::Interactive);
    QCOMPARE(columns->sectionResizeMode(2), QHeaderView::Stretch);
    QCOMPARE(ui->info_item->verticalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    QCOMPARE(ui->info_item->columnWidth(0), 100);
    QCOMPARE(ui->info_item->columnWidth(1), 120);
    QCOMPARE(ui->tabWidget->currentIndex(), 0);
}

QTEST_MAIN(TestForm)
#include "test_form.moc"
