// The seam to the operating system, checked against what the process can see for itself.

#include "platform/system.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace claimcheck::platform;

class SystemTest : public QObject {
    Q_OBJECT

private slots:
    void superuserIsTheOwnerOfTheFilesItMakes();
    void processorTimeCountsWorkNotWaiting();
    void residentPeakSeesMemoryTouchedAndStartsAnew();
    void allocatedBytesHoldWhatWasAskedFor();
    void aChildRunGivesItsStatusOutputsAndPeak_data();
    void aChildRunGivesItsStatusOutputsAndPeak();
    void aChildThatCannotStartIsNone();
};

// A new file belongs to the process's effective user, so the superuser's files belong to user 0.
void SystemTest::superuserIsTheOwnerOfTheFilesItMakes() {
    QTemporaryFile file;
    QVERIFY(file.open());
#if defined(Q_OS_UNIX)
    QCOMPARE(runsAsSuperuser(), QFileInfo(file.fileName()).ownerId() == 0);
#else
    QVERIFY(!runsAsSuperuser());
#endif
}

// Work is counted by the processor time it takes, however long the machine's load makes it last on the clock: the
// loop runs until 0.2 s of processor time have been counted, which a loaded machine reaches later but still
// reaches, and one thread's processor time can never run ahead of the clock. A sleep takes none.
void SystemTest::processorTimeCountsWorkNotWaiting() {
    constexpr double kWork = 0.2;
    constexpr qint64 kLongestWaitMs = 120'000;
    const double before = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    volatile unsigned sink = 0;
    double worked = 0;
    while ((worked = processCpuSeconds() - before) < kWork && clock.elapsed() < kLongestWaitMs) {
        for (int i = 0; i < 100'000; ++i)
            sink = sink * 31u + 7u;
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    QVERIFY2(worked >= kWork, qPrintable(QStringLiteral("%1 s counted in %2 s").arg(worked).arg(elapsed)));
    // The clock's and the process's counts are read at slightly different moments, and a thread of the runtime may
    // take a little time beside this one; 0.05 s covers both, and a count in a wrong unit would be far over.
    QVERIFY2(worked <= elapsed + 0.05, qPrintable(QStringLiteral("%1 s counted in %2 s").arg(worked).arg(elapsed)));

    const double beforeSleep = processCpuSeconds();
    QTest::qSleep(300);
    const double slept = processCpuSeconds() - beforeSleep;
    QVERIFY2(slept < 0.1, qPrintable(QString::number(slept)));
}

void SystemTest::residentPeakSeesMemoryTouchedAndStartsAnew() {
#if !defined(Q_OS_LINUX)
    QSKIP("the resident peak is read on Linux only");
#endif
    constexpr std::size_t kBlock = 64u << 20;
    QVERIFY(resetResidentPeak());
    const double start = peakResidentBytes().value_or(-1);
    QVERIFY(start > 0);
    {
        const std::unique_ptr<char[]> block(new char[kBlock]);
        std::memset(block.get(), 1, kBlock);
        const double touched = peakResidentBytes().value_or(-1);
        QVERIFY2(touched - start >= 0.9 * kBlock, qPrintable(QStringLiteral("%1 -> %2").arg(start).arg(touched)));
    }
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer keeps freed memory resident in its quarantine");
#endif
    returnFreeHeap();
    QVERIFY(resetResidentPeak());
    const double anew = peakResidentBytes().value_or(-1);
    QVERIFY2(anew < start + 0.5 * kBlock, qPrintable(QStringLiteral("%1 after %2").arg(anew).arg(start)));
}

void SystemTest::allocatedBytesHoldWhatWasAskedFor() {
    for (const std::size_t size : {std::size_t(1), std::size_t(100), std::size_t(4096), std::size_t(3u << 20)}) {
        void* block = std::malloc(size);
        QVERIFY(block);
        const std::size_t held = allocatedBytes(block);
        std::free(block);
        QVERIFY2(held >= size && held < size + 64 * 1024, qPrintable(QStringLiteral("%1 for %2").arg(held).arg(size)));
    }
}

void SystemTest::aChildRunGivesItsStatusOutputsAndPeak_data() {
    QTest::addColumn<QString>("script"); // for /bin/sh -c
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<double>("leastPeakMiB");
    QTest::newRow("status and outputs") << "echo out; echo err >&2; exit 3" << 3 << QByteArray("out\n")
                                        << QByteArray("err\n") << 0.1;
    QTest::newRow("ended by a signal") << "kill -9 $$" << -1 << QByteArray() << QByteArray() << 0.1;
    // 200 MiB written by the child (python3 is among the packages of scripts/setup): its peak is the child's own.
    QTest::newRow("memory it touches") << "python3 -c \"b = b'x' * (200 << 20)\"" << 0 << QByteArray() << QByteArray()
                                       << 200.0;
}

void SystemTest::aChildRunGivesItsStatusOutputsAndPeak() {
#if !defined(Q_OS_LINUX)
    QSKIP("a child's run is measured on Linux only");
#endif
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(double, leastPeakMiB);
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("out")).toStdString();
    const std::string err = dir.filePath(QStringLiteral("err")).toStdString();
    const std::optional<ChildRun> run = runChild({"/bin/sh", "-c", script.toStdString()}, out, err);
    QVERIFY(run.has_value());
    QCOMPARE(run->exitStatus, status);
    QFile outFile(QString::fromStdString(out)), errFile(QString::fromStdString(err));
    QVERIFY(outFile.open(QIODevice::ReadOnly) && errFile.open(QIODevice::ReadOnly));
    QCOMPARE(outFile.readAll(), output);
    QCOMPARE(errFile.readAll(), error);
    QVERIFY2(run->peakResidentBytes >= leastPeakMiB * 1024 * 1024, qPrintable(QString::number(run->peakResidentBytes)));
    QVERIFY(run->seconds > 0);
}

void SystemTest::aChildThatCannotStartIsNone() {
    QTemporaryDir dir;
    QVERIFY(!runChild({"/no/such/program"}, dir.filePath(QStringLiteral("out")).toStdString(),
                      dir.filePath(QStringLiteral("err")).toStdString())
                 .has_value());
}

QTEST_GUILESS_MAIN(SystemTest)
#include "tst_system.moc"
