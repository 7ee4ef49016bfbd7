// MainWindow::loadPlot on the offscreen window fed arbitrary blocks, with
// the window's events (the plots' paints among them) handled after each.
// Properties: the sentence table stays 200 rows by 3 columns, its used
// rows are the top ones without a gap, each holds a sentence and a count
// of at least 1, and nothing reads outside its data.
#include "fuzzcheck.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QTableWidget>

namespace {

MainWindow *window = nullptr;

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

QString cell(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static int argc = 1;
    static char name[] = "fuzz_loadplot";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);   // lives as long as the process
    window = new MainWindow;
    window->show();
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QTableWidget *table = window->form()->Log_text;
    // Most inputs start from an empty table, so new rows keep being made;
    // the others build on what earlier inputs left.
    if (input.ConsumeIntegralInRange<int>(0, 7) != 0)
        table->clearContents();

    while (input.remaining_bytes() > 0) {
        const int length = input.ConsumeIntegralInRange<int>(0, 4096);
        const std::string bytes = input.ConsumeBytesAsString(length);
        window->loadPlot(QByteArray(bytes.data(), int(bytes.size())));
        QCoreApplication::processEvents();

        FUZZ_CHECK(table->rowCount() == 200 && table->columnCount() == 3);
        bool gap = false;
        for (int row = 0; row < table->rowCount(); ++row) {
            const QString text = cell(table, row, 2);
            if (text.isEmpty()) {
                gap = true;
                continue;
            }
            FUZZ_CHECK(!gap);
            FUZZ_CHECK(text.startsWith(QLatin1Char('$')));
            bool ok = false;
            FUZZ_CHECK(cell(table, row, 1).toLongLong(&ok) >= 1 && ok);
        }
    }
    return 0;
}
