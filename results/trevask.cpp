#include "trevask.h"

#include "ui/huge_words.h"
#include "ui/look.h"
#include "word_list.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTimer>

#include <utility>

namespace claimcheck {

namespace {

// The window as designed, in twips.
constexpr int kClientWidth = 13080;
constexpr int kClientHeight = 10935;
constexpr double kReferenceWidth = 13200; // the design's outer width: the client plus a 60-twip border each side

constexpr unsigned kLightPeach = 0xC0E0FF; // shared by the claims and the claims index
constexpr unsigned kWhite = 0xFFFFFF;      // shared by the disclosure and the disclosure index
constexpr unsigned kLightGrey = 0xE0E0E0;  // the words of the claims not in the disclosure

constexpr double kHeadingPointSize = 9.75;

struct DesignPlace {
    int left;
    int top;
    int width;
    int height;
};

constexpr DesignPlace kRichTextBox1{60, 480, 4095, 9225};
constexpr DesignPlace kRichTextBox2{4200, 480, 4515, 9225};
constexpr DesignPlace kList1{8820, 480, 1512, 9225};
constexpr DesignPlace kList2{10500, 480, 1512, 9225};
constexpr DesignPlace kList3{12180, 480, 1512, 9225};
constexpr DesignPlace kLabel1{120, 240, 3552, 372};
constexpr DesignPlace kLabel2{4320, 240, 4272, 432};
constexpr DesignPlace kLabel3{8820, 240, 1512, 372};
constexpr DesignPlace kLabel4{10560, 0, 1212, 552};
constexpr DesignPlace kLabel5{12180, 0, 1512, 432};

// Resize rule: the claims box's fixed left edge, the proportional widths, the gap between columns and the
// indent of each heading.
constexpr float kFirstColumnLeft = 30;
constexpr double kBoxWidth = 4100;
constexpr double kListWidth = 1500;
constexpr double kColumnGap = 20;
constexpr double kHeadingIndent = 10;

void Place(QWidget* widget, const char* name, const DesignPlace& place) {
    widget->setObjectName(QLatin1String(name));
    setDesignGeometry(widget, place.left, place.top, place.width, place.height);
}

QPlainTextEdit* makeBox(QWidget* parent, const char* name, const DesignPlace& place, unsigned background) {
    auto* box = new QPlainTextEdit(parent);
    Place(box, name, place);
    box->setFont(controlFont());
    setDesignBackground(box, bgrColor(background));
    // The boxes show the texts under check: the user reads, selects and copies, but does not type into them, so
    // the occurrences found always match the lists. The cursor still moves by keyboard. Colouring adds no undo
    // steps.
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setUndoRedoEnabled(false);
    keepHugeWordsFast(box->document());
    return box;
}

WordList* makeList(QWidget* parent, const char* name, const DesignPlace& place, unsigned background) {
    auto* list = new WordList(parent);
    Place(list, name, place);
    list->setFont(controlFont());
    list->setBackgroundColor(bgrColor(background));
    return list;
}

QLabel* makeLabel(QWidget* parent, const char* name, const DesignPlace& place, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    Place(label, name, place);
    label->setFont(sansSerifFont(kHeadingPointSize));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

// Screen readers see a top-level QWidget as a "filler" (Qt's Client role), not as a window, and do not announce it
// when it opens or takes the focus; the input window, a QMainWindow, is a "frame" (both seen on the AT-SPI bus with
// python3-pyatspi, Qt 6.4). The results window is given the window role, named by its caption as any window.
QAccessibleInterface* resultsWindowInterface(const QString& className, QObject* object) {
    if (className != QLatin1String(trevask::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

void applyResultsResizeRule(double outerWidth, const ResultsLayoutControls& c) {
    const auto f = [outerWidth](double k) { return float(proportionalTwips(outerWidth, kReferenceWidth, k)); };
    // Each column starts after what the columns to its left report, so pixel rounding never makes them overlap.
    const auto disclosureLeft = [&c] { return c.RichTextBox1.width() + c.RichTextBox1.left() + kColumnGap; };
    const auto list1Left = [&] { return c.RichTextBox2.width() + disclosureLeft() + kColumnGap; };
    const auto list2Left = [&] { return list1Left() + c.List1.width() + kColumnGap; };
    const auto list3Left = [&] { return list2Left() + c.List2.width() + kColumnGap; };

    c.RichTextBox1.setLeft(kFirstColumnLeft);
    c.RichTextBox1.setWidth(f(kBoxWidth));
    c.RichTextBox2.setLeft(float(disclosureLeft()));
    c.RichTextBox2.setWidth(f(kBoxWidth));
    c.List1.setLeft(float(list1Left()));
    c.List1.setWidth(f(kListWidth));
    c.List2.setLeft(float(list2Left()));
    c.List2.setWidth(f(kListWidth));
    c.List3.setLeft(float(list3Left()));
    c.List3.setWidth(f(kListWidth));
    c.Label1.setLeft(float(c.RichTextBox1.left() + kHeadingIndent));
    c.Label2.setLeft(float(c.RichTextBox2.left() + kHeadingIndent));
    c.Label3.setLeft(float(c.List1.left() + kHeadingIndent));
    c.Label4.setLeft(float(c.List2.left() + kHeadingIndent));
    c.Label5.setLeft(float(c.List3.left() + kHeadingIndent));
}

trevask::trevask(ResultsRecord& record, QWidget* parent)
    : QWidget(parent), tampon(record.tampon), la(record.la), start(record.start), previtem(record.previtem),
      flagclick3(record.flagclick3) {
    // Before anything of the window reaches the accessibility framework, which keeps the interface it first made.
    // Installing the same factory again does nothing.
    QAccessible::installFactory(resultsWindowInterface);
    setObjectName(QStringLiteral("trevask"));
    setWindowTitle(QStringLiteral("trevask"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(controlFont());
    resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);

    RichTextBox1 = makeBox(this, "RichTextBox1", kRichTextBox1, kLightPeach);
    RichTextBox2 = makeBox(this, "RichTextBox2", kRichTextBox2, kWhite);
    List1 = makeList(this, "List1", kList1, kLightPeach);
    List2 = makeList(this, "List2", kList2, kWhite);
    List3 = makeList(this, "List3", kList3, kLightGrey);
    Label1 = makeLabel(this, "Label1", kLabel1, QStringLiteral("Claims"));
    Label2 = makeLabel(this, "Label2", kLabel2, QStringLiteral("Disclosure"));
    Label3 = makeLabel(this, "Label3", kLabel3, QStringLiteral("Claims Index"));
    Label4 = makeLabel(this, "Label4", kLabel4, QStringLiteral("Disclosure Index"));
    Label5 = makeLabel(this, "Label5", kLabel5, QStringLiteral("Words in Claims not in disclosure"));

    // What screen readers call each control: each column by the heading above it, each heading by its caption.
    const std::pair<QWidget*, QLabel*> headedColumns[] = {
        {RichTextBox1, Label1}, {RichTextBox2, Label2}, {List1, Label3}, {List2, Label4}, {List3, Label5}};
    for (const auto& [column, heading] : headedColumns) {
        column->setAccessibleName(heading->text());
        heading->setAccessibleName(heading->text());
    }

    setTabOrder(RichTextBox1, RichTextBox2);
    setTabOrder(RichTextBox2, List1);
    setTabOrder(List1, List2);
    setTabOrder(List2, List3);

    // Disabled until a find arms it; each arming gives one tick.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(0);
    Timer1->setSingleShot(true);

    connect(List1, &WordList::picked, this, &trevask::List1_Click);
    connect(List2, &WordList::picked, this, &trevask::List2_Click);
    connect(List3, &WordList::picked, this, &trevask::List3_Click);
    connect(Timer1, &QTimer::timeout, this, &trevask::Timer1_Timer);

    Form_Load();
}

trevask::~trevask() = default;

void trevask::Form_Load() {
    flagclick3 = false;
}

void trevask::Form_Resize() {
    WidgetTwips box1(RichTextBox1), box2(RichTextBox2), list1(List1), list2(List2), list3(List3);
    WidgetTwips label1(Label1), label2(Label2), label3(Label3), label4(Label4), label5(Label5);
    applyResultsResizeRule(outerWidthTwips(this),
                           {box1, box2, list1, list2, list3, label1, label2, label3, label4, label5});
}

void trevask::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

} // namespace claimcheck
