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

void SystemTest::processorTimeCountsWorkNotWaiting() {
    const double before = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    volatile unsigned sink = 0;
    while (clock.elapsed() < 300)
        sink = sink * 31u + 7u;
    const double worked = processCpuSeconds() - before;
    QVERIFY2(worked >= 0.2 && worked < 2.0, qPrintable(QString::number(worked)));

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
