#include "tests/support/dialogscript.h"
#include "components/Wwdbcomb.h"
#include "tests/support/scripteddialogs.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTextBlock>
#include <memory>

using namespace dialogscript;
using engine::ParaFormat;

namespace {

enum Rule { Single, OneAndHalf, Double, AtLeast, Exactly, Multiple };

QLineEdit *field(QDialog *dialog, const char *name)
{
    return control<QLineEdit>(dialog, name);
}

QComboBox *lineSpacingBox(QDialog *dialog)
{
    return control<QComboBox>(dialog, "LineSpacingComboBox");
}

// Picks a line-spacing entry with the arrow keys, as a user does with the list closed:
// every step is a choice of its own.
void chooseLineSpacing(QDialog *dialog, int rule)
{
    QComboBox *box = lineSpacingBox(dialog);
    box->setFocus();
    while (box->currentIndex() < rule)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > rule)
        QTest::keyClick(box, Qt::Key_Up);
}

QByteArray rtfOf(TwwCustomRichEdit &editor)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    editor.Lines()->SaveToStream(buffer);
    return buffer.data();
}

void loadRtf(TwwCustomRichEdit &editor, const QByteArray &rtf)
{
    QBuffer buffer;
    buffer.setData(rtf);
    buffer.open(QIODevice::ReadOnly);
    editor.Lines()->LoadFromStream(buffer);
}

// Whether a control's rectangle is the designed one scaled, give or take the rounding.
bool isScaled(const QRect &actual, const QRect &design, double scale)
{
    const QRect expected(qRound(design.x() * scale), qRound(design.y() * scale),
                         qRound(design.width() * scale), qRound(design.height() * scale));
    return qAbs(actual.x() - expected.x()) <= 1 && qAbs(actual.y() - expected.y()) <= 1
           && qAbs(actual.width() - expected.width()) <= 1 && qAbs(actual.height() - expected.height()) <= 1;
}

// How far below the first paragraph's top the editor lays out the second, in pixels:
// the one-line first paragraph's line height.
qreal firstParagraphHeight(TwwCustomRichEdit &editor)
{
    QTextDocument *document = editor.document();
    document->documentLayout()->documentSize();  // lays everything out
    const QTextBlock first = document->begin();
    return first.next().layout()->position().y() - first.layout()->position().y();
}

}  // namespace

class TestParagraphDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void indentsShowAsLeftAndFirstLineAndOkWritesThemBack();
    void firstLineBeyondTheLeftIndentKeepsTheOffsetAtTheLeftIndent();
    void fieldTextsAreReadInTheUnit_data();
    void fieldTextsAreReadInTheUnit();
    void invalidFieldKeepsTheDialogOpenWithItsFocus_data();
    void invalidFieldKeepsTheDialogOpenWithItsFocus();
    void fieldsAreCheckedInOrder();
    void lineSpacingEntryGivesItsDefault_data();
    void lineSpacingEntryGivesItsDefault();
    void typingUnderARuleWithoutSpacingSwitchesToMultiple();
    void lineSpacingRulesShowAndSurviveRtf_data();
    void lineSpacingRulesShowAndSurviveRtf();
    void multipleOneAndAHalfWritesThirty();
    void emptyAtUnderExactlyShowsSingleSpacing();
    void justifiedParagraphsStayJustified();
    void mixedAlignmentIsLeftAsItWas();
    void okWritesTheWholeFormatToEverySelectedParagraph();
    void cancelChangesNothing();
    void captionsAndHintsComeFromTheTextTable();
    void controlsSitAtTheirDesignedPlaces();

private:
    // Opens the dialog on the editor, runs the script in it, and returns the result.
    bool runDialog(const Script &script);
    ParaFormat firstParagraph() const;

    std::unique_ptr<QWidget> window;
    TwwDBRichEdit *editor = nullptr;
    std::unique_ptr<platform::ScriptedDialogs> messages;
};

void TestParagraphDialog::initTestCase()
{
    CreateGlobalIntl(*qApp);
}

void TestParagraphDialog::init()
{
    messages = std::make_unique<platform::ScriptedDialogs>();
    window = std::make_unique<QWidget>();
    window->resize(600, 400);
    editor = new TwwDBRichEdit(window.get());
    editor->setGeometry(0, 0, 600, 400);
    editor->Lines()->SetText(QStringLiteral("First paragraph\nSecond paragraph\nThird paragraph"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    editor->setSelectionRange({0, 0});
}

void TestParagraphDialog::cleanup()
{
    QVERIFY2(messages->requests().empty(), "no message box belongs to the paragraph dialog");
    window.reset();
    messages.reset();
}

bool TestParagraphDialog::runDialog(const Script &script)
{
    bool ran = false;
    onNextDialog(script, &ran);
    const bool result = editor->ExecuteParagraphDialog();
    if (!ran)
        QTest::qFail("the paragraph dialog did not show", __FILE__, __LINE__);
    return result;
}

ParaFormat TestParagraphDialog::firstParagraph() const
{
    const engine::CharRange kept = editor->selectionRange();
    editor->setSelectionRange({0, 0});
    const ParaFormat format = editor->paraFormat();
    editor->setSelectionRange(kept);
    return format;
}

void TestParagraphDialog::indentsShowAsLeftAndFirstLineAndOkWritesThemBack()
{
    editor->SetParagraphFormat(pmStartIndent | pmOffset | pmRightIndent, QString(), false, -360, 1440,
                               720, 0, {}, 0, 0, 0, 0);
    QString left, firstLine, right;
    QVERIFY(runDialog([&](QDialog *dialog) {
        left = field(dialog, "LeftEdit")->text();
        firstLine = field(dialog, "FirstLineEdit")->text();
        right = field(dialog, "RightEdit")->text();
        click(dialog, "OKBtn");
    }));
    QCOMPARE(left, QStringLiteral("0.25''"));
    QCOMPARE(firstLine, QStringLiteral("0.25''"));
    QCOMPARE(right, QStringLiteral("1''"));
    const ParaFormat format = firstParagraph();
    QCOMPARE(format.startIndent, 720);
    QCOMPARE(format.offset, -360);
    QCOMPARE(format.rightIndent, 1440);
}

void TestParagraphDialog::firstLineBeyondTheLeftIndentKeepsTheOffsetAtTheLeftIndent()
{
    QVERIFY(runDialog([](QDialog *dialog) {
        retype(field(dialog, "LeftEdit"), QStringLiteral("0.25"));
        retype(field(dialog, "FirstLineEdit"), QStringLiteral("-0.5"));
        click(dialog, "OKBtn");
    }));
    const ParaFormat format = firstParagraph();
    QCOMPARE(format.offset, 360);
    QCOMPARE(format.startIndent, -360);
}

void TestParagraphDialog::fieldTextsAreReadInTheUnit_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("twips");
    QTest::newRow("centimetres with the suffix") << int(muCentimeters) << "1.25 cm" << 709;
    QTest::newRow("centimetres with the letters only") << int(muCentimeters) << "1.25cm" << 709;
    QTest::newRow("bare centimetres") << int(muCentimeters) << "1.25" << 709;
    QTest::newRow("22 inches, the most") << int(muInches) << "22''" << 31680;
    QTest::newRow("negative inches") << int(muInches) << "-0.5''" << -720;
}

void TestParagraphDialog::fieldTextsAreReadInTheUnit()
{
    QFETCH(int, units);
    QFETCH(QString, text);
    QFETCH(int, twips);
    editor->SetMeasurementUnits(TwwMeasurementUnits(units));
    QVERIFY(runDialog([&](QDialog *dialog) {
        retype(field(dialog, "RightEdit"), text);
        click(dialog, "OKBtn");
    }));
    QCOMPARE(firstParagraph().rightIndent, twips);
}

void TestParagraphDialog::invalidFieldKeepsTheDialogOpenWithItsFocus_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QByteArray>("fieldName");
    QTest::addColumn<QString>("text");
    QTest::newRow("inch letters in centimetres") << int(muCentimeters) << QByteArray("LeftEdit") << "1.25 in";
    QTest::newRow("beyond 22 inches") << int(muInches) << QByteArray("FirstLineEdit") << "22.01''";
    QTest::newRow("beyond 22 inches negative") << int(muInches) << QByteArray("RightEdit") << "-23";
    QTest::newRow("empty indent") << int(muInches) << QByteArray("RightEdit") << "";
    QTest::newRow("empty spacing") << int(muInches) << QByteArray("AfterParagraphEdit") << "";
    QTest::newRow("no number") << int(muInches) << QByteArray("BeforeParagraphEdit") << "abc";
}

void TestParagraphDialog::invalidFieldKeepsTheDialogOpenWithItsFocus()
{
    QFETCH(int, units);
    QFETCH(QByteArray, fieldName);
    QFETCH(QString, text);
    editor->SetMeasurementUnits(TwwMeasurementUnits(units));
    bool stayedOpen = false;
    bool invalidFieldFocused = false;  // read while the dialog still exists
    QVERIFY(runDialog([&](QDialog *dialog) {
        QLineEdit *invalid = field(dialog, fieldName.constData());
        retype(invalid, text);
        click(dialog, "OKBtn");
        stayedOpen = dialog->isVisible();
        invalidFieldFocused = dialog->focusWidget() == invalid;
        retype(invalid, QStringLiteral("0.5"));  // mended, OK goes through
        click(dialog, "OKBtn");
    }));
    QVERIFY(stayedOpen);
    QVERIFY(invalidFieldFocused);
}

void TestParagraphDialog::fieldsAreCheckedInOrder()
{
    QStringList focusAfterEachOk;  // names: the widgets are gone once the dialog closes
    QVERIFY(!runDialog([&](QDialog *dialog) {
        retype(field(dialog, "AfterParagraphEdit"), QStringLiteral("x"));
        retype(field(dialog, "RightEdit"), QStringLiteral("x"));
        retype(field(dialog, "FirstLineEdit"), QStringLiteral("x"));
        for (const char *mend : {"FirstLineEdit", "RightEdit", "AfterParagraphEdit"}) {
            click(dialog, "OKBtn");
            focusAfterEachOk << focusedName(dialog);
            retype(field(dialog, mend), QStringLiteral("0"));
        }
        click(dialog, "CancelBtn");
    }));
    QCOMPARE(focusAfterEachOk.size(), 3);
    QCOMPARE(focusAfterEachOk[0], QStringLiteral("FirstLineEdit"));
    QCOMPARE(focusAfterEachOk[1], QStringLiteral("RightEdit"));
    QCOMPARE(focusAfterEachOk[2], QStringLiteral("AfterParagraphEdit"));
}

void TestParagraphDialog::lineSpacingEntryGivesItsDefault_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("atText");
    QTest::newRow("at least, inches") << int(muInches) << int(AtLeast) << "0.16''";
    QTest::newRow("exactly, centimetres") << int(muCentimeters) << int(Exactly) << "0.42 cm";
    QTest::newRow("exactly then multiple") << int(muInches) << int(Multiple) << "1";
    QTest::newRow("back to double") << int(muInches) << int(Double) << "";
}

void TestParagraphDialog::lineSpacingEntryGivesItsDefault()
{
    QFETCH(int, units);
    QFETCH(int, rule);
    QFETCH(QString, atText);
    editor->SetMeasurementUnits(TwwMeasurementUnits(units));
    QString shown;
    runDialog([&](QDialog *dialog) {
        chooseLineSpacing(dialog, Exactly);
        chooseLineSpacing(dialog, rule);
        shown = field(dialog, "WithinParagraphEdit")->text();
    });
    QCOMPARE(shown, atText);
}

void TestParagraphDialog::typingUnderARuleWithoutSpacingSwitchesToMultiple()
{
    int ruleAfterTyping = -1;
    QVERIFY(runDialog([&](QDialog *dialog) {
        chooseLineSpacing(dialog, OneAndHalf);
        QTest::keyClicks(field(dialog, "WithinParagraphEdit"), QStringLiteral("3"));
        ruleAfterTyping = lineSpacingBox(dialog)->currentIndex();
        click(dialog, "OKBtn");
    }));
    QCOMPARE(ruleAfterTyping, int(Multiple));
    QCOMPARE(firstParagraph().lineSpacingRule, quint8(Multiple));
    QCOMPARE(firstParagraph().lineSpacing, 60);
}

void TestParagraphDialog::lineSpacingRulesShowAndSurviveRtf_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("atText");
    QTest::addColumn<int>("lineSpacing");
    QTest::addColumn<double>("heightFactor");  // of the single-spaced paragraph's height
    QTest::newRow("single") << int(Single) << "" << 0 << 1.0;
    QTest::newRow("one and a half") << int(OneAndHalf) << "" << 0 << 1.5;
    QTest::newRow("double") << int(Double) << "" << 0 << 2.0;
    QTest::newRow("at least 0.4 inches") << int(AtLeast) << "0.4''" << 576 << 0.0;
    QTest::newRow("exactly 0.3 inches") << int(Exactly) << "0.3''" << 432 << 0.0;
    QTest::newRow("multiple 1.25") << int(Multiple) << "1.25" << 25 << 1.25;
}

void TestParagraphDialog::lineSpacingRulesShowAndSurviveRtf()
{
    QFETCH(int, rule);
    QFETCH(QString, atText);
    QFETCH(int, lineSpacing);
    QFETCH(double, heightFactor);
    const qreal singleHeight = firstParagraphHeight(*editor);
    QVERIFY(runDialog([&](QDialog *dialog) {
        chooseLineSpacing(dialog, rule);
        retype(field(dialog, "WithinParagraphEdit"), atText);
        lineSpacingBox(dialog)->setCurrentIndex(rule);  // typing may have switched it
        click(dialog, "OKBtn");
    }));
    QCOMPARE(firstParagraph().lineSpacingRule, quint8(rule));
    QCOMPARE(firstParagraph().lineSpacing, lineSpacing);

    // What the editor shows: a multiple of the single height, or the height itself.
    const qreal expected = heightFactor > 0 ? singleHeight * heightFactor : lineSpacing / 15.0;
    QVERIFY2(qAbs(firstParagraphHeight(*editor) - expected) <= 1.5,
             qPrintable(QStringLiteral("height %1, expected %2").arg(firstParagraphHeight(*editor)).arg(expected)));

    // Saved and loaded into another editor, the dialog shows the same again.
    TwwDBRichEdit reloaded(window.get());
    loadRtf(reloaded, rtfOf(*editor));
    reloaded.setSelectionRange({0, 0});
    int shownRule = -1;
    QString shownAt;
    onNextDialog([&](QDialog *dialog) {
        shownRule = lineSpacingBox(dialog)->currentIndex();
        shownAt = field(dialog, "WithinParagraphEdit")->text();
    });
    reloaded.ExecuteParagraphDialog();
    QCOMPARE(shownRule, rule);
    QCOMPARE(shownAt, atText);
}

void TestParagraphDialog::multipleOneAndAHalfWritesThirty()
{
    QVERIFY(runDialog([](QDialog *dialog) {
        chooseLineSpacing(dialog, Multiple);
        retype(field(dialog, "WithinParagraphEdit"), QStringLiteral("1.5"));
        click(dialog, "OKBtn");
    }));
    QCOMPARE(firstParagraph().lineSpacingRule, quint8(Multiple));
    QCOMPARE(firstParagraph().lineSpacing, 30);
}

void TestParagraphDialog::emptyAtUnderExactlyShowsSingleSpacing()
{
    const qreal singleHeight = firstParagraphHeight(*editor);
    QVERIFY(runDialog([](QDialog *dialog) {
        chooseLineSpacing(dialog, Exactly);
        retype(field(dialog, "WithinParagraphEdit"), QString());
        click(dialog, "OKBtn");
    }));
    QCOMPARE(firstParagraph().lineSpacingRule, quint8(Exactly));
    QCOMPARE(firstParagraph().lineSpacing, 0);
    QCOMPARE(firstParagraphHeight(*editor), singleHeight);
}

void TestParagraphDialog::justifiedParagraphsStayJustified()
{
    loadRtf(*editor, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qj\\f0 Justified text\\par}");
    editor->setSelectionRange({0, 0});
    QString shown;
    QVERIFY(runDialog([&](QDialog *dialog) {
        shown = control<QLineEdit>(dialog, "AlignmentCombo")->text();
        retype(field(dialog, "LeftEdit"), QStringLiteral("0.5"));
        click(dialog, "OKBtn");
    }));
    QCOMPARE(shown, QStringLiteral("Justify"));
    QCOMPARE(firstParagraph().alignment, quint16(engine::PFA_JUSTIFY));
    QCOMPARE(firstParagraph().startIndent, 720);
    QVERIFY(rtfOf(*editor).contains("\\qj"));
}

void TestParagraphDialog::mixedAlignmentIsLeftAsItWas()
{
    editor->setSelectionRange({0, 0});
    editor->ParagraphAttributes().SetAlignment(taRightJustify);
    editor->SelectAll();
    QString shown = QStringLiteral("unread");
    QVERIFY(runDialog([&](QDialog *dialog) {
        shown = control<QLineEdit>(dialog, "AlignmentCombo")->text();
        retype(field(dialog, "BeforeParagraphEdit"), QStringLiteral("0.1"));
        click(dialog, "OKBtn");
    }));
    QCOMPARE(shown, QString());
    editor->setSelectionRange({0, 0});
    QCOMPARE(editor->paraFormat().alignment, quint16(engine::PFA_RIGHT));
    QCOMPARE(editor->paraFormat().spaceBefore, 144);
    editor->setSelectionRange({20, 20});
    QCOMPARE(editor->paraFormat().alignment, quint16(engine::PFA_LEFT));
    QCOMPARE(editor->paraFormat().spaceBefore, 144);
}

void TestParagraphDialog::okWritesTheWholeFormatToEverySelectedParagraph()
{
    editor->setSelectionRange({0, 20});  // the first two paragraphs
    QVERIFY(runDialog([](QDialog *dialog) {
        control<QLineEdit>(dialog, "AlignmentCombo")->setFocus();
        QTest::keyClick(control<QLineEdit>(dialog, "AlignmentCombo"), Qt::Key_Down);  // Center
        retype(field(dialog, "LeftEdit"), QStringLiteral("0.5"));
        retype(field(dialog, "FirstLineEdit"), QStringLiteral("-0.25"));
        retype(field(dialog, "BeforeParagraphEdit"), QStringLiteral("0.1"));
        retype(field(dialog, "AfterParagraphEdit"), QStringLiteral("0.05"));
        chooseLineSpacing(dialog, OneAndHalf);
        click(dialog, "OKBtn");
    }));
    for (int position : {0, 20}) {
        editor->setSelectionRange({position, position});
        const ParaFormat format = editor->paraFormat();
        QCOMPARE(format.alignment, quint16(engine::PFA_CENTER));
        QCOMPARE(format.startIndent, 360);
        QCOMPARE(format.offset, 360);
        QCOMPARE(format.spaceBefore, 144);
        QCOMPARE(format.spaceAfter, 72);
        QCOMPARE(format.lineSpacingRule, quint8(OneAndHalf));
    }
    editor->setSelectionRange({40, 40});
    QCOMPARE(editor->paraFormat().startIndent, 0);
    const QByteArray rtf = rtfOf(*editor);
    QVERIFY(rtf.contains("\\qc\\li720\\fi-360\\sb144\\sa72\\sl360\\slmult1"));
}

void TestParagraphDialog::cancelChangesNothing()
{
    editor->SetModified(false);
    const QByteArray before = rtfOf(*editor);
    QVERIFY(!runDialog([](QDialog *dialog) {
        retype(field(dialog, "LeftEdit"), QStringLiteral("1"));
        chooseLineSpacing(dialog, Double);
        click(dialog, "CancelBtn");
    }));
    QCOMPARE(rtfOf(*editor), before);
    QVERIFY(!editor->Modified());
}

void TestParagraphDialog::captionsAndHintsComeFromTheTextTable()
{
    TwwRichEditParagraphDlg &texts = GlobalIntl->RichEdit.ParagraphDialog;
    const TwwRichEditParagraphDlg saved = texts;
    texts.ParagraphDlgCaption = QStringLiteral("Absatz");
    texts.LeftEditHint = QStringLiteral("Linker Einzug");
    texts.AlignRight = QStringLiteral("Rechts");
    for (bool hints : {true, false}) {
        editor->SetEditorOptions(hints ? TwwRichEditOptions(reoShowHints) : TwwRichEditOptions());
        QString title, tooltip;
        QStringList alignments;
        runDialog([&](QDialog *dialog) {
            title = dialog->windowTitle();
            tooltip = field(dialog, "LeftEdit")->toolTip();
            alignments = control<TwwDBComboBox>(dialog, "AlignmentCombo")->Items();
        });
        QCOMPARE(title, QStringLiteral("Absatz"));
        QCOMPARE(tooltip, hints ? QStringLiteral("Linker Einzug") : QString());
        QCOMPARE(alignments, QStringList({"Left", "Center", "Rechts", "Justify"}));
    }
    texts = saved;
}

void TestParagraphDialog::controlsSitAtTheirDesignedPlaces()
{
    QRect ok, within, panel;
    QSize client;
    QPoint centre, screenCentre;
    QStringList focusOrder;
    runDialog([&](QDialog *dialog) {
        ok = control<QPushButton>(dialog, "OKBtn")->geometry();
        within = field(dialog, "WithinParagraphEdit")->geometry();
        panel = control<QFrame>(dialog, "Panel1")->geometry();
        client = dialog->size();
        centre = dialog->geometry().center();
        screenCentre = dialog->screen()->availableGeometry().center();
        QWidget *widget = dialog->focusWidget();
        for (int i = 0; i < 10 && widget; ++i, widget = widget->nextInFocusChain()) {
            while (widget && !(widget->focusPolicy() & Qt::TabFocus))
                widget = widget->nextInFocusChain();
            if (widget)
                focusOrder << widget->objectName();
        }
    });
    const double scale = client.width() / 331.0;
    QVERIFY(scale >= 1.0);
    QVERIFY(qAbs(client.height() - 229 * scale) <= 1);
    QVERIFY(isScaled(ok, QRect(166, 200, 75, 25), scale));
    QVERIFY(isScaled(within, QRect(240, 153, 65, 21), scale));
    QVERIFY(isScaled(panel, QRect(6, 8, 321, 185), scale));
    QVERIFY((centre - screenCentre).manhattanLength() <= 40);
    QCOMPARE(focusOrder, QStringList({"OKBtn", "CancelBtn", "AlignmentCombo", "LeftEdit", "RightEdit",
                                      "FirstLineEdit", "BeforeParagraphEdit", "AfterParagraphEdit",
                                      "LineSpacingComboBox", "WithinParagraphEdit"}));
}

QTEST_MAIN(TestParagraphDialog)
#include "tst_paragraphdialog.moc"
