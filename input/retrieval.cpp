#include "retrieval.h"

#include "merovin.h"
#include "ui/pumped_pause.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTextEdit>

#include <memory>

namespace claimcheck {

namespace {

constexpr double kFlagTestPause = 3; // seconds between two looks at flagrun while the claims are awaited
constexpr double kCopyPause = 0.5;   // seconds between the copy and the reading of the clipboard

QString Address(const QString& server, const QString& pathAndQuery, const QString& number) {
    return QStringLiteral("http://") + server + pathAndQuery + number + QStringLiteral("&PN=") + number +
           QStringLiteral("&FTDB=@RTDFTDB");
}

} // namespace

QString PatentNumber(const QString& typed) {
    const QString upper = typed.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && upper[begin] == u' ')
        ++begin;
    while (end > begin && upper[end - 1] == u' ')
        --end;
    return upper.mid(begin, end - begin);
}

QString ClaimsAddress(const QString& server, const QString& number) {
    return Address(server, QStringLiteral("/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP="), number);
}

QString DescriptionAddress(const QString& server, const QString& number) {
    return Address(server, QStringLiteral("/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP="), number);
}

// Asks for the claims page, waits until the page capture has put the claims into their box (the capture runs
// inside these pauses and flips flagrun), then asks for the description page and ends. The number box is read
// again for the description, so an edit made while waiting counts.
void merovin::Command2_Click() {
    WebBrowser1->Navigate(ClaimsAddress(m_patentServer, PatentNumber(Text1->text())));
    while (flagrun.toBool()) {
        // A closed input window can be neither seen nor opened again: its command stops waiting instead of keeping
        // the program alive, unseen, once the last window has gone.
        if (m_closed)
            return;
        PumpedPause(kFlagTestPause);
    }
    WebBrowser1->Navigate(DescriptionAddress(m_patentServer, PatentNumber(Text1->text())));
}

// Puts the text of a completed page into the box that flagrun names, by way of the clipboard, and flips the flag.
// Neither the address nor the content of the page is looked at.
void merovin::WebBrowser1_DocumentComplete(const QObject* pDisp, const QUrl& /*URL*/) {
    if (!WebBrowser1->isTopLevelDocument(pDisp))
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The clipboard is emptied first, so that what it held before never passes for the page's text.
    clipboard->clear();
    const auto copying = std::make_shared<bool>(true);
    WebBrowser1->selectAllCopyClear([copying] { return *copying; });
    PumpedPause(kCopyPause);
    // A copy that has not begun by now would land on the clipboard after it has been emptied below.
    *copying = false;
    const QString text = clipboard->text();
    // A page that yields no text (a blank or failed page) leaves the box as it is, so the user's own text is never
    // wiped out by nothing; the flag moves on all the same, so the next page still goes to the other box.
    QTextEdit* box = flagrun.toBool() ? RichTextBox1 : RichTextBox2;
    if (!text.isEmpty())
        box->setPlainText(text);
    flagrun = !flagrun.toBool();
    clipboard->clear();
}

} // namespace claimcheck
