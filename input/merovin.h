#pragma once

#include "analysis/check_run.h"
#include "input/web_view.h"

#include <QMainWindow>
#include <QString>
#include <QVariant>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QUrl;

namespace claimcheck {

class TwipsControl;

// The controls that the input window's resize rule moves, seen in twips.
struct InputLayoutControls {
    TwipsControl& RichTextBox1;
    TwipsControl& RichTextBox2;
    TwipsControl& Command1;
    TwipsControl& Label1;
    TwipsControl& Label2;
    TwipsControl& Label3;
    TwipsControl& Command2;
    TwipsControl& Text1;
    TwipsControl& WebBrowser1;
};

// Lays the controls out in proportion to the window's outer width W (twips) against the design width. The
// disclosure box follows the claims box as that box reports itself after it was placed. Vertical positions,
// heights and the widths of buttons and labels never change; the web view is always narrowed to 100 twips.
void applyInputResizeRule(double outerWidth, const InputLayoutControls& controls);

// The input window: the claims and the disclosure are pasted or typed here, or fetched by patent number, and
// "Check for support" opens the results window.
class merovin : public QMainWindow {
    Q_OBJECT
public:
    explicit merovin(QWidget* parent = nullptr);
    // Fetches the patent texts from `patentServer` ("host" or "host:port") instead of the database's own server.
    explicit merovin(QString patentServer, QWidget* parent = nullptr);
    ~merovin() override;

    QTextEdit* RichTextBox1; // the claims box
    QTextEdit* RichTextBox2; // the disclosure box
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Text1; // the patent number box
    QPushButton* Command1;
    QPushButton* Command2;
    WebView* WebBrowser1; // loads the patent pages; out of the user's sight, behind the claims box
    QAction* clear;
    QAction* EExit;

    QVariant flagrun; // true: the next completed page goes to the claims box; false: to the disclosure box

    void Form_Load();
    void Form_Resize();
    void clear_Click();
    void Command1_Click();
    void Command2_Click();
    // `pDisp` is the document that has completed: the web view's own page, or anything else (a frame), which is
    // ignored.
    void WebBrowser1_DocumentComplete(const QObject* pDisp, const QUrl& URL);

    // The results window and its variables, which outlive the window.
    ResultsWindowHost& results() { return m_results; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ResultsWindowHost m_results;
    const QString m_patentServer;
    // A pumped pause that ends at once when the window is closed during it.
    void pauseWhileOpen(double seconds) const;

    bool m_closed = false; // closed by the user and not shown since
};

} // namespace claimcheck
