// The allocator's tunables the program restarts with: large pages are added to what the environment holds, and a
// choice already made about them, by the user or by the program's own restart, is left as it stands.

#include "app/large_pages.h"

#include <QTest>

using namespace claimcheck;

class LargePagesTest : public QObject {
    Q_OBJECT
private slots:
    void tunablesWithLargePages_data();
    void tunablesWithLargePages();
};

void LargePagesTest::tunablesWithLargePages_data() {
    QTest::addColumn<bool>("unset");
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<bool>("restarts");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("unset") << true << QByteArray() << true << QByteArray("glibc.malloc.hugetlb=1");
    QTest::newRow("empty") << false << QByteArray("") << true << QByteArray("glibc.malloc.hugetlb=1");
    QTest::newRow("other tunables kept") << false << QByteArray("glibc.malloc.arena_max=2") << true
                                         << QByteArray("glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1");
    QTest::newRow("already restarted") << false << QByteArray("glibc.malloc.hugetlb=1") << false << QByteArray();
    QTest::newRow("user turned them off") << false << QByteArray("glibc.malloc.hugetlb=0") << false << QByteArray();
    QTest::newRow("user chose them among others")
        << false << QByteArray("glibc.malloc.arena_max=2:glibc.malloc.hugetlb=2") << false << QByteArray();
}

void LargePagesTest::tunablesWithLargePages() {
    QFETCH(bool, unset);
    QFETCH(QByteArray, current);
    QFETCH(bool, restarts);
    QFETCH(QByteArray, expected);

    const std::optional<std::string> tunables =
        claimcheck::tunablesWithLargePages(unset ? nullptr : current.constData());
    QCOMPARE(tunables.has_value(), restarts);
    if (restarts)
        QCOMPARE(QByteArray::fromStdString(*tunables), expected);
}

QTEST_GUILESS_MAIN(LargePagesTest)
#include "tst_large_pages.moc"
