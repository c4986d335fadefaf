// The seam to the operating system, checked against what the process can see for itself.

#include "platform/system.h"

#include <QElapsedTimer>
#include <QFileInfo>
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

QTEST_GUILESS_MAIN(SystemTest)
#include "tst_system.moc"
