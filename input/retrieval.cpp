#include "retrieval.h"

#include "merovin.h"
#include "ui/box_text.h"
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

QString address(const QString& server, const QString& pathAndQuery, const QString& number) {
    return QStringLiteral("http://") + server + pathAndQuery + number + QStringLiteral("&PN=") + number +
           QStringLiteral("&FTDB=@RTDFTDB");
}

} // namespace

QString patentNumber(const QString& typed) {
    const QString upper = typed.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && upper[begin] == u' ')
        ++begin;
    while (end > begin && upper[end - 1] == u' ')
        --end;
    return upper.mid(begin, end - begin);
}

QString claimsAddress(const QString& server, const QString& number) {
    return address(server, QStringLiteral("/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP="), number);
}

QString descriptionAddress(const QString& server, const QString& number) {
    return address(server, QStringLiteral("/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP="), number);
}

// The pumped pause, cut short when the window is closed during it.
void merovin::pauseWhileOpen(double seconds) const {
    pumpedPause(seconds, [this] { return m_closed; });
}

// Asks for the claims page, waits until the page capture has put the claims into their box (the capture runs
// inside these pauses and flips flagrun), then asks for the description page and ends. The number box is read
// again for the description, so an edit made while waiting counts.
//
// Closing the window ends the command at once, without the description: the window can be neither seen nor opened
// again, and its waiting command must not keep the program alive once the last window has gone.
void merovin::Command2_Click() {
    WebBrowser1->Navigate(claimsAddress(m_patentServer, patentNumber(Text1->text())));
    while (flagrun.toBool() && !m_closed)
        pauseWhileOpen(kFlagTestPause);
    if (m_closed)
        return;
    WebBrowser1->Navigate(descriptionAddress(m_patentServer, patentNumber(Text1->text())));
}

// Puts the text of a completed page into the box that flagrun names, by way of the clipboard, and flips the flag.
// Neither the address nor the content of the page is looked at. A page that yields no text (an empty page, one that
// a script fills only after it has completed, a frameset, a page whose copy has not come by the end of the pause)
// empties its box: an old text left there would pass for this patent's.
void merovin::WebBrowser1_DocumentComplete(const QObject* pDisp, const QUrl& /*URL*/) {
    if (!WebBrowser1->isTopLevelDocument(pDisp))
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The clipboard is emptied first, so that what it held before never passes for the page's text.
    clipboard->clear();
    const auto copying = std::make_shared<bool>(true);
    WebBrowser1->selectAllCopyClear([copying] { return *copying; });
    pauseWhileOpen(kCopyPause);
    // A copy that comes after this is taken off the clipboard by the web view as soon as it lands.
    *copying = false;
    if (m_closed) {
        // The window closed during the pause: the fetch is over, and nothing of it is stored.
        clipboard->clear();
        return;
    }
    QTextEdit* box = flagrun.toBool() ? RichTextBox1 : RichTextBox2;
    setBoxPlainText(*box, clipboard->text());
    flagrun = !flagrun.toBool();
    clipboard->clear();
}

} // namespace claimcheck
