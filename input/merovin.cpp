#include "merovin.h"

#include "input/retrieval.h"
#include "ui/box_text.h"
#include "ui/huge_words.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>

#include <utility>

namespace claimcheck {

namespace {

// Design of the input window, in twips.
constexpr double kReferenceWidth = 12660; // outer width at design: the client area plus a 60-twip border each side
constexpr int kClientWidth = 12540;
constexpr int kClientHeight = 10710;
constexpr double kWebViewWidth = 100;
constexpr unsigned kHeadingColour = 0xD15A4E; // blue-green-red
constexpr double kHeadingPointSize = 12;

struct Design {
    int left, top, width, height;
};
constexpr Design kCommand1{9600, 9840, 1935, 495};
constexpr Design kRichTextBox1{120, 840, 5295, 8775};
constexpr Design kRichTextBox2{6240, 840, 5295, 8775};
constexpr Design kLabel1{360, 480, 4575, 615};
constexpr Design kLabel2{6600, 480, 4575, 615};
constexpr Design kLabel3{240, 9840, 3255, 255};
constexpr Design kText1{120, 10080, 2655, 375};
constexpr Design kCommand2{3120, 10080, 1215, 375};
constexpr Design kWebBrowser1{720, 3840, 4455, 2295};

void Place(QWidget* widget, const Design& design) {
    setDesignGeometry(widget, design.left, design.top, design.width, design.height);
}

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* headingLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = named(new QLabel(caption, parent), name);
    label->setFont(sansSerifFont(kHeadingPointSize, QFont::Bold));
    // On the window's own background, which the theme chooses: a dark one gets a lighter shade of the design's blue.
    setDesignTextColor(label, bgrColor(kHeadingColour));
    return label;
}

} // namespace

void applyInputResizeRule(double outerWidth, const InputLayoutControls& c) {
    const auto g = [outerWidth](double k) {
        return static_cast<float>(proportionalTwips(outerWidth, kReferenceWidth, k));
    };
    c.RichTextBox1.setLeft(g(120));
    c.RichTextBox1.setWidth(g(5295));
    c.RichTextBox2.setLeft(static_cast<float>(c.RichTextBox1.width() + c.RichTextBox1.left() + g(825)));
    c.RichTextBox2.setWidth(g(5295));
    c.Command1.setLeft(g(9600));
    c.Label1.setLeft(g(360));
    c.Label2.setLeft(g(6600));
    c.Label3.setLeft(g(240));
    c.Command2.setLeft(g(3120));
    c.Text1.setLeft(g(120));
    c.Text1.setWidth(g(2655));
    c.WebBrowser1.setWidth(static_cast<float>(kWebViewWidth));
}

merovin::merovin(QWidget* parent) : merovin(QString::fromLatin1(kPatentServer), parent) {}

merovin::merovin(QString patentServer, QWidget* parent) : QMainWindow(parent), m_patentServer(std::move(patentServer)) {
    setObjectName(QStringLiteral("merovin"));
    setWindowTitle(QStringLiteral("Check for claim support"));
    setWindowIcon(appIcon());

    clear = menuBar()->addAction(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("clear"));
    EExit = menuBar()->addAction(QStringLiteral("Exit"));
    EExit->setObjectName(QStringLiteral("EExit"));

    // The pressed menu item is the theme's highlighted text on its highlight: a shade of the highlight where the two
    // do not read together.
    keepHighlightReadable(menuBar());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(controlFont());
    setCentralWidget(client);

    // Created in focus order, so the tab chain follows the design.
    Command1 = named(new QPushButton(QStringLiteral("Check for support"), client), "Command1");
    RichTextBox1 = named(new QTextEdit(client), "RichTextBox1");
    RichTextBox2 = named(new QTextEdit(client), "RichTextBox2");
    Label1 = headingLabel(client, "Label1", QStringLiteral("Insert Claims Here"));
    Label2 = headingLabel(client, "Label2", QStringLiteral("Insert Disclosure Here"));
    Label3 = named(new QLabel(QStringLiteral("Or enter patent No (ex: US4564563)"), client), "Label3");
    Text1 = named(new QLineEdit(client), "Text1");
    Command2 = named(new QPushButton(QStringLiteral("Get text "), client), "Command2");
    WebBrowser1 = named(new WebView(client), "WebBrowser1");
    keepHugeWordsFast(RichTextBox1->document());
    keepHugeWordsFast(RichTextBox2->document());
    // Tab goes on to the next control in the focus order, as in every other control of the window: by default a text
    // edit types a tab character instead and keeps the focus, and no key then leaves the claims box (Ctrl+Tab does
    // nothing there either), so a keyboard user never reached the disclosure box, the number box or "Get text ".
    for (QTextEdit* box : {RichTextBox1, RichTextBox2})
        box->setTabChangesFocus(true);

    Place(Command1, kCommand1);
    Place(RichTextBox1, kRichTextBox1);
    Place(RichTextBox2, kRichTextBox2);
    Place(Label1, kLabel1);
    Place(Label2, kLabel2);
    Place(Label3, kLabel3);
    Place(Text1, kText1);
    Place(Command2, kCommand2);
    Place(WebBrowser1, kWebBrowser1);
    WebBrowser1->lower(); // behind the claims box, out of the user's sight

    for (QLabel* label : {Label1, Label2, Label3})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // What screen readers call each control; the boxes and the number box have no text of their own to go by.
    const std::pair<QWidget*, QString> accessibleNames[] = {
        {Command1, QStringLiteral("Check for support")},
        {RichTextBox1, QStringLiteral("Claims")},
        {RichTextBox2, QStringLiteral("Disclosure")},
        {Label1, Label1->text()},
        {Label2, Label2->text()},
        {Label3, Label3->text()},
        {Text1, QStringLiteral("Patent number")},
        {Command2, QStringLiteral("Get text")},
        {WebBrowser1, QStringLiteral("Patent page")},
    };
    for (const auto& [control, name] : accessibleNames)
        control->setAccessibleName(name);

    setTabOrder(Command1, RichTextBox1);
    setTabOrder(RichTextBox1, RichTextBox2);
    setTabOrder(RichTextBox2, Text1);
    setTabOrder(Text1, Command2);

    connect(Command1, &QPushButton::clicked, this, &merovin::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &merovin::Command2_Click);
    connect(clear, &QAction::triggered, this, &merovin::clear_Click);
    // The web view reports the top-level document only: its frames never reach the program. The report is queued
    // so that the page capture, which waits half a second processing events, runs on its own and not nested inside
    // the Chromium task that reported the completion.
    // A completion still queued when the page has stopped for good names no document of the web view.
    connect(
        WebBrowser1, &QWebEngineView::loadFinished, this,
        [this] {
            const QObject* document = WebBrowser1->topLevelDocument();
            WebBrowser1_DocumentComplete(document, document ? WebBrowser1->url() : QUrl());
        },
        Qt::QueuedConnection);
    // "Exit" has no action: choosing it changes nothing.

    resize(kClientWidth / kTwipsPerPixel, menuBar()->sizeHint().height() + kClientHeight / kTwipsPerPixel);
    Command1->setFocus();

    Form_Load();
}

merovin::~merovin() = default;

void merovin::Form_Load() {
    flagrun = true;
}

void merovin::Form_Resize() {
    WidgetTwips richTextBox1(RichTextBox1), richTextBox2(RichTextBox2), command1(Command1), label1(Label1),
        label2(Label2), label3(Label3), command2(Command2), text1(Text1), webBrowser1(WebBrowser1);
    applyInputResizeRule(outerWidthTwips(this),
                         {richTextBox1, richTextBox2, command1, label1, label2, label3, command2, text1, webBrowser1});
}

void merovin::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void merovin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_closed = false;
}

// Nothing of a fetch goes on once the user has closed the window: the web view stops for good (no more requests,
// completions or copies), and the waits of the retrieval end at once.
void merovin::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_closed = true;
    WebBrowser1->stopForGood();
}

void merovin::clear_Click() {
    // What the user types next into an emptied box is plain, whatever the pasted text it replaced looked like.
    setBoxPlainText(*RichTextBox1, QString());
    setBoxPlainText(*RichTextBox2, QString());
    Text1->setText(QString());
}

void merovin::Command1_Click() {
    runSupportCheck(m_results, boxPlainText(*RichTextBox1->document()), boxPlainText(*RichTextBox2->document()));
}

} // namespace claimcheck
