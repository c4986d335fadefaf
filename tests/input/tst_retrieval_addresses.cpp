// The patent number and the two addresses built from it, and a window that never fetches starting no browser.

#include "input/merovin.h"
#include "input/retrieval.h"

#include <QApplication>
#include <QTest>

using namespace claimcheck;

class RetrievalAddressTest : public QObject {
    Q_OBJECT
private slots:
    void patentNumber_data();
    void patentNumber();
    void addressesOfTheDatabase();
    void addressesCarryTheNumberUnescaped();
    void aWindowThatFetchesNothingStartsNoBrowser();
};

void RetrievalAddressTest::patentNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("number");
    QTest::newRow("one blank each side") << QStringLiteral(" us4564563 ") << QStringLiteral("US4564563");
    QTest::newRow("many blanks") << QStringLiteral("   ep1000000b1  ") << QStringLiteral("EP1000000B1");
    QTest::newRow("inner blanks stay") << QStringLiteral(" us 45 ") << QStringLiteral("US 45");
    QTest::newRow("tabs stay") << QStringLiteral("\tus1\t") << QStringLiteral("\tUS1\t");
    QTest::newRow("blanks inside tabs stay") << QStringLiteral("\t us1 \t") << QStringLiteral("\t US1 \t");
    QTest::newRow("no-break space stays") << QStringLiteral("\u00a0us1 ") << QStringLiteral("\u00a0US1");
    QTest::newRow("line break stays") << QStringLiteral("us1\n") << QStringLiteral("US1\n");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks only") << QStringLiteral("    ") << QString();
    QTest::newRow("non-ASCII upper case") << QStringLiteral("de\u00e4\u00df") << QStringLiteral("DE\u00c4SS");
    QTest::newRow("query characters") << QStringLiteral(" a&b#c%d ") << QStringLiteral("A&B#C%D");
}

void RetrievalAddressTest::patentNumber() {
    QFETCH(QString, typed);
    QFETCH(QString, number);
    QCOMPARE(claimcheck::patentNumber(typed), number);
}

void RetrievalAddressTest::addressesOfTheDatabase() {
    const QString server = QString::fromLatin1(kPatentServer);
    QCOMPARE(claimsAddress(server, QStringLiteral("US4564563")),
             QStringLiteral("http://ep.espacenet.com/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP=US4564563&PN=US4564563"
                            "&FTDB=@RTDFTDB"));
    QCOMPARE(descriptionAddress(server, QStringLiteral("US4564563")),
             QStringLiteral("http://ep.espacenet.com/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=US4564563&PN=US4564563"
                            "&FTDB=@RTDFTDB"));
}

void RetrievalAddressTest::addressesCarryTheNumberUnescaped() {
    const QString odd = QStringLiteral("\t A&B#C%D\u20ac ");
    QCOMPARE(claimsAddress(QStringLiteral("127.0.0.1:8080"), odd),
             QStringLiteral("http://127.0.0.1:8080/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP=") + odd +
                 QStringLiteral("&PN=") + odd + QStringLiteral("&FTDB=@RTDFTDB"));
    QCOMPARE(descriptionAddress(QStringLiteral("h"), QString()),
             QStringLiteral("http://h/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=&PN=&FTDB=@RTDFTDB"));
}

// Starting Chromium takes time, and as root without --no-sandbox it ends the process: building, showing, hiding
// and closing the window must not start it.
void RetrievalAddressTest::aWindowThatFetchesNothingStartsNoBrowser() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.hide();
    window.show();
    QVERIFY(window.close());
    QTest::qWait(50); // long enough for anything posted by show, hide or close to be handled
    QVERIFY(!window.WebBrowser1->started());
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    RetrievalAddressTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_retrieval_addresses.moc"
