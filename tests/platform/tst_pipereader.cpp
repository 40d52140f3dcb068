#include "platform/pipereader.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace std::chrono_literals;

// Pipe reads as the Wayland clipboard does them: the other end is another program's.
class PipeReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The test plays the writer, which learns of a closed pipe by EPIPE.
    void initTestCase() { ::signal(SIGPIPE, SIG_IGN); }
    void readsEverythingUntilTheWriterCloses();
    void cutsOffAWriterOverTheLimit();
    void cutsOffAWriterThatNeverFinishes();
    void neverBlocksTheEventLoop();

private:
    struct Pipe
    {
        int read = -1;
        int write = -1;
    };
    static Pipe openPipe();
};

PipeReaderTest::Pipe PipeReaderTest::openPipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    return {fds[0], fds[1]};
}

void PipeReaderTest::readsEverythingUntilTheWriterCloses()
{
    const Pipe pipe = openPipe();
    PipeReader reader(pipe.read, 1 << 20, 5s);
    QSignalSpy finished(&reader, &PipeReader::finished);
    // Several writes, with the event loop running between them, make one content.
    QByteArray expected;
    for (int part = 0; part < 5; ++part) {
        const QByteArray chunk = QByteArray(10000, char('a' + part));
        QCOMPARE(::write(pipe.write, chunk.constData(), static_cast<size_t>(chunk.size())), chunk.size());
        expected += chunk;
        QTest::qWait(20);
    }
    QCOMPARE(finished.count(), 0);
    ::close(pipe.write);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(reader.outcome(), PipeReader::Outcome::Complete);
    QCOMPARE(reader.data(), expected);
    QVERIFY(reader.isFinished());
}

void PipeReaderTest::cutsOffAWriterOverTheLimit()
{
    const Pipe pipe = openPipe();
    PipeReader reader(pipe.read, 1000, 5s);
    QSignalSpy finished(&reader, &PipeReader::finished);
    const QByteArray data(1001, 'x');
    QCOMPARE(::write(pipe.write, data.constData(), static_cast<size_t>(data.size())), data.size());
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(reader.outcome(), PipeReader::Outcome::TooLarge);
    // The writer learns that nobody reads any more.
    QTest::qWait(10);
    QCOMPARE(::write(pipe.write, "y", 1), -1);
    ::close(pipe.write);
}

void PipeReaderTest::cutsOffAWriterThatNeverFinishes()
{
    const Pipe pipe = openPipe();
    PipeReader reader(pipe.read, 1000, 200ms);
    QSignalSpy finished(&reader, &PipeReader::finished);
    QCOMPARE(::write(pipe.write, "partial", 7), 7);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(reader.outcome(), PipeReader::Outcome::TimedOut);
    ::close(pipe.write);
    // Finished once, whatever comes after.
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
}

void PipeReaderTest::neverBlocksTheEventLoop()
{
    // A writer that is silent: the loop goes on turning while the read waits.
    const Pipe pipe = openPipe();
    PipeReader reader(pipe.read, 1000, 5s);
    bool loopTurned = false;
    QTimer::singleShot(50, this, [&loopTurned] { loopTurned = true; });
    QTRY_VERIFY(loopTurned);
    QVERIFY(!reader.isFinished());
    ::close(pipe.write);
    QTRY_VERIFY(reader.isFinished());
    QCOMPARE(reader.outcome(), PipeReader::Outcome::Complete);
    QVERIFY(reader.data().isEmpty());
}

QTEST_GUILESS_MAIN(PipeReaderTest)
#include "tst_pipereader.moc"
