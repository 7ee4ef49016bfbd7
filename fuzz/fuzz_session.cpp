// The receiver session's read loop fed arbitrary blocks from a source that
// is open and takes commands, without a window. Properties: every byte
// taken reaches the log in order, the rows the session hands out stay
// inside the table's 200 and count from 1, each shown line is a sentence,
// and what goes to the source is only whole commands.
#include "fuzzcheck.h"

#include "tests/support/fakesource.h"
#include "session/receiversession.h"
#include "settings/filelocations.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quiet);
    static int argc = 1;
    static char name[] = "fuzz_session";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);   // lives as long as the process
    static QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Places::setCurrent(Places::locate(false));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QByteArray fed;
    QString log;
    {
        ReceiverSession session;
        auto *source = new FakeSource;
        session.setSerialSource(source);
        session.open(QStringLiteral("fuzz"), QString());
        FUZZ_CHECK(session.isOpen());
        log = session.logFileName();
        QObject::connect(&session, &ReceiverSession::blockTaken, [](const SessionBlock &block) {
            for (const SessionLine &line : block.lines) {
                FUZZ_CHECK(line.row >= 0 && line.row < 200);
                FUZZ_CHECK(line.count >= 1);
                FUZZ_CHECK(line.text.startsWith(QLatin1Char('$')));
            }
            FUZZ_CHECK(block.restartReports >= 0);
        });
        while (input.remaining_bytes() > 0) {
            const int length = input.ConsumeIntegralInRange<int>(0, 4096);
            const std::string bytes = input.ConsumeBytesAsString(length);
            const QByteArray block(bytes.data(), int(bytes.size()));
            fed += block;
            session.takeBlock(block);
        }
        FUZZ_CHECK(source->written.isEmpty() || source->written.endsWith("\r\n"));
        FUZZ_CHECK(session.rows().used() <= 200);
        session.close();
    }
    QFile file(log);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    FUZZ_CHECK(file.readAll() == fed);
    file.remove();
    return 0;
}
