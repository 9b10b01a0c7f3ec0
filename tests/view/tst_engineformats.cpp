#include "engine/codec/formatmapping.h"
#include "engine/codec/listformat.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/view/richeditview.h"
#include "engine/codec/textprops.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

using namespace engine;

namespace {

CharFormat boldFormat(bool on)
{
    CharFormat format;
    format.mask = CFM_BOLD;
    format.effects = on ? quint32(CFE_BOLD) : 0u;
    return format;
}

// Three paragraphs: "alpha beta", "gamma", "delta"; "beta" is bold and 14 pt.
void fillMixed(RichEditView &view)
{
    view.setPlainText(QStringLiteral("alpha beta\ngamma\ndelta"));
    view.setSelectionRange({6, 10});
    CharFormat format = boldFormat(true);
    format.mask |= CFM_SIZE;
    format.height = 280;
    view.setCharFormat(format, true);
    view.document()->clearUndoRedoStacks();
    view.document()->setModified(false);
}

// The viewport rows that show red pixels on screen: what was painted, not a fresh rendering.
QList<int> redRows(RichEditView &view)
{
    QWidget *viewport = view.viewport();
    const QPoint origin = viewport->mapTo(&view, QPoint(0, 0));
    const QImage image = view.screen()
                             ->grabWindow(view.winId(), origin.x(), origin.y(), viewport->width(),
                                          viewport->height())
                             .toImage();
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80) {
                rows << y;
                break;
            }
        }
    }
    return rows;
}

// A viewport row through the middle of the first line.
int firstLineRow(RichEditView &view)
{
    const QRect line = view.cursorRect(QTextCursor(view.document()));
    return line.center().y();
}

}  // namespace

class TestEngineFormats : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void mixedSelectionReadsDifferingAttributesAsAbsent()
    {
        RichEditView view;
        fillMixed(view);
        view.setSelectionRange({0, -1});
        const CharFormat mixed = view.charFormat(true);
        QVERIFY(!(mixed.mask & CFM_BOLD));
        QVERIFY(!(mixed.effects & CFE_BOLD));
        QVERIFY(!(mixed.mask & CFM_SIZE));
        QCOMPARE(mixed.height, 0);
        QVERIFY(mixed.mask & CFM_ITALIC);  // the same everywhere: present
        QVERIFY(mixed.mask & CFM_FACE);
        QVERIFY(!mixed.faceName.isEmpty());

        view.setSelectionRange({6, 10});
        const CharFormat uniform = view.charFormat(true);
        QVERIFY(uniform.mask & CFM_BOLD);
        QVERIFY(uniform.effects & CFE_BOLD);
        QCOMPARE(uniform.height, 280);
    }

    void selectionFormatSpansParagraphsAsOneUndoStep()
    {
        RichEditView view;
        fillMixed(view);
        view.setSelectionRange({3, 14});  // from "alpha" into "gamma"
        view.setCharFormat(boldFormat(true), true);
        view.setSelectionRange({3, 14});
        QVERIFY(view.charFormat(true).effects & CFE_BOLD);
        view.setSelectionRange({0, 3});
        QVERIFY(!(view.charFormat(true).effects & CFE_BOLD));
        view.setSelectionRange({14, 16});
        QVERIFY(!(view.charFormat(true).effects & CFE_BOLD));
        QVERIFY(view.document()->isModified());

        view.undoLast();
        QVERIFY(!view.canUndo());
        view.setSelectionRange({0, -1});
        QVERIFY(!(view.charFormat(true).mask & CFM_BOLD));  // mixed again, as before
    }

    // The format bar reads the selection before and after each change: what it reads after
    // one is what a fresh look at the changed text gives.
    void selectionReadAfterAChangeIsWhatTheTextHolds_data()
    {
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<quint32>("effects");
        QTest::newRow("bold") << quint32(CFM_BOLD) << quint32(CFE_BOLD);
        QTest::newRow("bold off") << quint32(CFM_BOLD) << 0u;
        QTest::newRow("italic") << quint32(CFM_ITALIC) << quint32(CFE_ITALIC);
        QTest::newRow("underline") << quint32(CFM_UNDERLINE) << quint32(CFE_UNDERLINE);
        QTest::newRow("strikeout") << quint32(CFM_STRIKEOUT) << quint32(CFE_STRIKEOUT);
        QTest::newRow("size") << quint32(CFM_SIZE) << 0u;
        QTest::newRow("face") << quint32(CFM_FACE | CFM_CHARSET) << 0u;
        QTest::newRow("colour") << quint32(CFM_COLOR) << 0u;
        QTest::newRow("automatic colour") << quint32(CFM_COLOR) << quint32(CFE_AUTOCOLOR);
        QTest::newRow("link off") << quint32(CFM_LINK) << 0u;
    }

    void selectionReadAfterAChangeIsWhatTheTextHolds()
    {
        QFETCH(quint32, mask);
        QFETCH(quint32, effects);
        RichEditView view;
        fillMixed(view);
        view.setSelectionRange({3, 14});  // plain and bold 14 pt text over two paragraphs
        const CharFormat before = view.charFormat(true);
        CharFormat format;
        format.mask = mask;
        format.effects = effects;
        format.height = 360;
        format.faceName = QStringLiteral("Serif");
        format.textColor = 0x00336699;
        view.setCharFormat(format, true);
        const CharFormat afterChange = view.charFormat(true);
        view.setSelectionRange({0, 1});
        (void)view.charFormat(true);
        view.setSelectionRange({3, 14});
        const CharFormat fresh = view.charFormat(true);
        QCOMPARE(afterChange.mask, fresh.mask);
        QCOMPARE(afterChange.effects, fresh.effects);
        QCOMPARE(afterChange.height, fresh.height);
        QCOMPARE(afterChange.textColor, fresh.textColor);
        QCOMPARE(afterChange.faceName, fresh.faceName);
        QCOMPARE(afterChange.charset, fresh.charset);
        QVERIFY(afterChange.mask & mask);  // the changed attribute is now the same throughout
        QCOMPARE(afterChange.effects & mask, effects);

        view.undoLast();  // the same selection reads as before the change
        QCOMPARE(view.charFormat(true).mask, before.mask);
        QCOMPARE(view.charFormat(true).effects, before.effects);
    }

    // Undo and redo of a change give back what the selection read before and after it, as
    // long as the step undone is that change.
    void selectionReadAfterUndoAndRedoIsWhatTheTextHolds()
    {
        RichEditView view;
        fillMixed(view);
        const auto readFresh = [&view] {
            view.setSelectionRange({0, 1});
            (void)view.charFormat(true);
            view.setSelectionRange({3, 14});
            return view.charFormat(true);
        };
        const CharFormat before = readFresh();
        view.setCharFormat(boldFormat(true), true);
        const CharFormat after = view.charFormat(true);
        QVERIFY(after.effects & CFE_BOLD);
        for (int round = 0; round < 2; ++round) {
            view.undoLast();
            QCOMPARE(view.charFormat(true).mask, before.mask);
            QCOMPARE(view.charFormat(true).effects, before.effects);
            view.redoLast();
            QCOMPARE(view.charFormat(true).mask, after.mask);
            QCOMPARE(view.charFormat(true).effects, after.effects);
        }
        QCOMPARE(readFresh().effects, after.effects);

        // With the history dropped, an undo changes nothing and the text stays bold.
        view.document()->clearUndoRedoStacks();
        view.undoLast();
        QVERIFY(view.charFormat(true).effects & CFE_BOLD);
        // A later step undone is not the change.
        view.setSelectionRange({3, 14});
        view.setCharFormat(boldFormat(false), true);
        view.setSelectionRange({16, 17});
        view.replaceSelection(QStringLiteral("x"));
        view.undoLast();
        view.setSelectionRange({3, 14});
        QVERIFY(!(view.charFormat(true).effects & CFE_BOLD));
    }

    // Overlays follow the links: a change of other formats keeps them, taking a link away
    // takes its overlay.
    void linkOverlayGoesWithTheLinkAlone()
    {
        RichEditView view;
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QStringLiteral("http://example.com"));
        QTextCursor cursor(view.document());
        cursor.insertText(QStringLiteral("see "));
        cursor.insertText(QStringLiteral("here"), link);
        const auto overlays = [&] { return view.document()->firstBlock().layout()->formats().size(); };
        QCOMPARE(overlays(), 1);
        view.setSelectionRange({0, -1});
        (void)view.charFormat(true);  // as the format bar reads it
        view.setCharFormat(boldFormat(true), true);
        QCOMPARE(overlays(), 1);
        CharFormat noLink;
        noLink.mask = CFM_LINK;
        view.setCharFormat(noLink, true);
        QCOMPARE(overlays(), 0);
        view.undoLast();
        QCOMPARE(overlays(), 1);
        view.redoLast();
        QCOMPARE(overlays(), 0);
        view.undoLast();
        view.undoLast();  // the bold
        QCOMPARE(overlays(), 1);
        view.redoLast();
        QCOMPARE(overlays(), 1);
    }

    void emptySelectionChangesOnlyTheTypingFormat()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("plain"));
        view.document()->setModified(false);
        view.setEventMask(ENM_CHANGE);
        QSignalSpy changes(&view, &RichEditView::contentChanged);
        view.setSelectionRange({5, 5});
        view.setCharFormat(boldFormat(true), true);

        QVERIFY(!view.canUndo());
        QVERIFY(!view.document()->isModified());
        QCOMPARE(changes.count(), 0);
        QVERIFY(view.charFormat(true).effects & CFE_BOLD);

        view.setFocus();
        QTest::keyClicks(&view, QStringLiteral("X"));
        view.setSelectionRange({5, 6});
        QVERIFY(view.charFormat(true).effects & CFE_BOLD);
        view.setSelectionRange({0, 5});
        QVERIFY(!(view.charFormat(true).effects & CFE_BOLD));
    }

    // Next to a picture or a mark, Qt would type in the object's format: an empty field's
    // mark would make the typed text its result, a note's mark give it the note's tooltip.
    void textTypedBesideAMarkIsPlainTextInTheFormatAround_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("caret");
        const QByteArray field = "{\\field{\\*\\fldinst PAGEREF x}{\\fldrslt}}";
        QTest::newRow("after an empty field") << "a" + field + "b" << 2;
        QTest::newRow("before an empty field at a paragraph's start") << field + "b" << 0;
        QTest::newRow("after a footnote's mark") << QByteArray("a{\\super\\chftn{\\footnote\\pard Note.}}b") << 2;
    }

    void textTypedBesideAMarkIsPlainTextInTheFormatAround()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, caret);
        RichEditView view;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\\i " + body + "\\par}", view.document()).ok());
        view.setFocus();
        view.setSelectionRange({caret, caret});
        QTest::keyClicks(&view, QStringLiteral("X"));

        QTextCursor typed(view.document());
        typed.setPosition(caret + 1);
        QCOMPARE(typed.block().text().at(caret), u'X');
        const QTextCharFormat format = typed.charFormat();
        QVERIFY(!format.hasProperty(prop::FieldInstruction));
        QVERIFY(!format.hasProperty(prop::FieldResultEmpty));
        QVERIFY(!format.hasProperty(prop::KeptRtf));
        QVERIFY(!format.hasProperty(QTextFormat::ImageName));
        QVERIFY(format.toolTip().isEmpty());
        QCOMPARE(format.verticalAlignment(), QTextCharFormat::AlignNormal);
        QCOMPARE(format.fontPointSize(), 10.0);
        QVERIFY(format.fontItalic());
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Arial"});
        // An empty field keeps its empty result; the typed letter is written outside it.
        if (body.contains("fldinst"))
            QVERIFY(writeRtf(view.document()).contains("{\\fldrslt{}}}"));
    }

    void colourFaceCharsetAndOffsetRoundTrip()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("text"));
        view.setSelectionRange({0, 4});
        CharFormat format;
        format.mask = CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_OFFSET | CFM_STRIKEOUT | CFM_UNDERLINE;
        format.textColor = 0x00336699;  // 0x00BBGGRR
        format.faceName = QString(40, QLatin1Char('F'));
        format.charset = 204;
        format.offset = 60;
        format.effects = CFE_STRIKEOUT | CFE_UNDERLINE;
        view.setCharFormat(format, true);

        const CharFormat read = view.charFormat(true);
        QCOMPARE(read.textColor, 0x00336699u);
        QVERIFY(!(read.effects & CFE_AUTOCOLOR));
        QCOMPARE(read.faceName.size(), kMaxFaceNameLength);
        QCOMPARE(read.charset, quint8(204));
        QCOMPARE(read.offset, 60);
        QVERIFY(read.effects & CFE_STRIKEOUT);
        QVERIFY(read.effects & CFE_UNDERLINE);

        CharFormat automatic;
        automatic.mask = CFM_COLOR;
        automatic.effects = CFE_AUTOCOLOR;
        view.setCharFormat(automatic, true);
        QVERIFY(view.charFormat(true).effects & CFE_AUTOCOLOR);
        QCOMPARE(view.charFormat(true).textColor, 0u);
    }

    void defaultFormatSetsTheDocumentFont()
    {
        RichEditView view;
        CharFormat format;
        format.mask = CFM_FACE | CFM_SIZE | CFM_BOLD;
        format.faceName = QStringLiteral("Serif");
        format.height = 320;
        format.effects = CFE_BOLD;
        view.setCharFormat(format, false);
        const CharFormat read = view.charFormat(false);
        QCOMPARE(read.faceName, QStringLiteral("Serif"));
        QCOMPARE(read.height, 320);
        QVERIFY(read.effects & CFE_BOLD);
        QCOMPARE(view.document()->defaultFont().pointSize(), 16);
        QVERIFY(!view.canUndo());
    }

    void undoneColourIsRepaintedOnEveryLine()
    {
        RichEditView view;
        view.resize(300, 120);
        view.setPlainText(QStringLiteral("first line\nsecond line\nthird line"));
        CharFormat big;
        big.mask = CFM_SIZE;
        big.height = 400;
        view.setCharFormat(big, false);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        view.setSelectionRange({0, 5});
        CharFormat red;
        red.mask = CFM_COLOR;
        red.textColor = 0x0000FF;
        view.setCharFormat(red, true);
        view.setSelectionRange({2, 2});
        QTRY_VERIFY(redRows(view).contains(firstLineRow(view)));

        view.undoLast();
        QCOMPARE(view.selectionRange().min, view.selectionRange().max);  // red would show unselected
        QTRY_COMPARE(redRows(view), QList<int>());
    }

    void hiddenTextIsKeptAsAProperty()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat hidden;
        hidden.setProperty(prop::Hidden, true);
        cursor.insertText(QStringLiteral("secret"), hidden);
        QVERIFY(isHidden(document.begin().begin().fragment().charFormat()));
        QCOMPARE(hiddenTextOverlay().underlineStyle(), QTextCharFormat::DotLine);
    }

    void paragraphFormatAppliesToEveryTouchedParagraph()
    {
        RichEditView view;
        fillMixed(view);
        view.setSelectionRange({8, 12});  // "alpha beta" into "gamma"
        ParaFormat format;
        format.mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_SPACEBEFORE
                      | PFM_SPACEAFTER;
        format.alignment = PFA_CENTER;
        format.startIndent = 1441;  // not a whole pixel: kept exactly
        format.rightIndent = 7;
        format.offset = -361;
        format.spaceBefore = 113;
        format.spaceAfter = 241;
        view.setParaFormat(format);

        const ParaFormat read = view.paraFormat();
        QCOMPARE(read.alignment, quint16(PFA_CENTER));
        QCOMPARE(read.startIndent, 1441);
        QCOMPARE(read.rightIndent, 7);
        QCOMPARE(read.offset, -361);
        QCOMPARE(read.spaceBefore, 113);
        QCOMPARE(read.spaceAfter, 241);
        const QTextBlockFormat shown = view.document()->begin().blockFormat();
        QCOMPARE(shown.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(qAbs(shown.leftMargin() - (1441 - 361) / 15.0) < 1e-9);
        QVERIFY(qAbs(shown.textIndent() - 361 / 15.0) < 1e-9);

        view.setSelectionRange({18, 18});  // "delta" was not touched
        QCOMPARE(view.paraFormat().alignment, quint16(PFA_LEFT));
        QCOMPARE(view.paraFormat().startIndent, 0);

        view.setSelectionRange({0, -1});
        const ParaFormat mixed = view.paraFormat();
        QVERIFY(!(mixed.mask & PFM_ALIGNMENT));
        QCOMPARE(mixed.alignment, quint16(0));
        QVERIFY(!(mixed.mask & PFM_STARTINDENT));
        QVERIFY(mixed.mask & PFM_TABSTOPS);  // no tabs anywhere: the same

        view.undoLast();
        QVERIFY(!view.canUndo());
        view.setSelectionRange({0, -1});
        QVERIFY(view.paraFormat().mask & PFM_ALIGNMENT);
    }

    void backspaceAtAListItemsStartTakesItsNumberAway()
    {
        RichEditView view;
        QVERIFY(readRtf("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 one\\par two\\par three\\par}",
                        view.document())
                    .ok());
        const QTextBlock two = view.document()->findBlockByNumber(1);
        view.setSelectionRange({two.position(), two.position()});
        QTest::keyClick(&view, Qt::Key_Backspace);
        QVERIFY(!two.textList());
        QCOMPARE(view.document()->toPlainText(), QString("one\ntwo\nthree"));
        QCOMPARE(listMarkerOf(two.next()), QString("2."));
        // The paragraph keeps its indents: the first line hangs out again.
        QCOMPARE(two.blockFormat().textIndent(), -360 / kTwipsPerPixel);
        QCOMPARE(readParaFormat(two).offset, 360);
        view.document()->undo();
        QCOMPARE(listMarkerOf(view.document()->findBlockByNumber(1)), QString("2."));
        // Elsewhere Backspace deletes as ever.
        view.setSelectionRange({two.position() + 1, two.position() + 1});
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(view.document()->toPlainText(), QString("one\nwo\nthree"));
    }

    void bulletsJoinOneListAndComeOff()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("one\ntwo\nthree"));
        view.setSelectionRange({0, 5});
        ParaFormat bullet;
        bullet.mask = PFM_NUMBERING | PFM_OFFSET;
        bullet.numbering = PFN_BULLET;
        bullet.offset = 720;
        view.setParaFormat(bullet);
        QCOMPARE(view.paraFormat().numbering, quint16(PFN_BULLET));
        QCOMPARE(view.paraFormat().offset, 720);
        const QTextBlock first = view.document()->begin();
        QVERIFY(isBulletList(first.textList()));
        QCOMPARE(first.next().textList(), first.textList());
        QVERIFY(!first.next().next().textList());

        // A bullet on the next paragraph joins the same list.
        view.setSelectionRange({9, 9});
        view.setParaFormat(bullet);
        QCOMPARE(first.next().next().textList(), first.textList());

        ParaFormat none;
        none.mask = PFM_NUMBERING | PFM_OFFSET;
        view.setSelectionRange({0, -1});
        view.setParaFormat(none);
        QCOMPARE(view.paraFormat().numbering, quint16(PFN_NONE));
        QCOMPARE(view.paraFormat().offset, 0);
        QVERIFY(!view.document()->begin().textList());
    }

    void tabStopsAreLimitedAndSorted()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("a\tb"));
        ParaFormat format;
        format.mask = PFM_TABSTOPS;
        format.tabCount = 40;  // more than fit: only the first 32 are taken
        for (int i = 0; i < kMaxTabStops; ++i)
            format.tabs[size_t(i)] = (kMaxTabStops - i) * 300 + 1;
        view.setParaFormat(format);
        const ParaFormat read = view.paraFormat();
        QCOMPARE(read.tabCount, qint16(kMaxTabStops));
        QCOMPARE(read.tabs[0], 301);
        QCOMPARE(read.tabs[31], 9601);
        QCOMPARE(view.document()->begin().blockFormat().tabPositions().size(), kMaxTabStops);

        format.tabCount = 0;
        view.setParaFormat(format);
        QCOMPARE(view.paraFormat().tabCount, qint16(0));
    }

    // A stop is a place on the page: text after a tab lines up in paragraphs with
    // different indents and bullets, also when the indents change after the stops.
    void tabStopsLineUpWhateverTheIndent()
    {
        RichEditView view;
        view.resize(800, 300);
        view.setPlainText(QStringLiteral("first column\tb\nlonger text\tc\n\tbullet"));
        view.selectAll();
        ParaFormat stops;
        stops.mask = PFM_TABSTOPS;
        stops.tabCount = 2;
        stops.tabs[0] = 360;
        stops.tabs[1] = 2880;
        view.setParaFormat(stops);
        QTextDocument *document = view.document();
        auto indent = [&](int block, int start, int offset) {
            QTextCursor cursor(document->findBlockByNumber(block));
            ParaFormat format;
            format.mask = PFM_STARTINDENT | PFM_OFFSET;
            format.startIndent = start;
            format.offset = offset;
            applyParaFormatToParagraphs(cursor, format);
        };
        indent(1, 720, 360);  // the first line starts beyond the first stop
        indent(2, 0, 720);
        QTextCursor bullet(document->findBlockByNumber(2));
        setBullets(bullet, true);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto xAt = [&](int block, int position) {
            const QTextBlock paragraph = document->findBlockByNumber(block);
            return paragraph.layout()->position().x() + paragraph.layout()->lineAt(0).cursorToX(position);
        };
        auto xAfterTab = [&](int block) {
            return xAt(block, int(document->findBlockByNumber(block).text().indexOf(u'\t')) + 1);
        };
        QCOMPARE(xAfterTab(0) - xAt(0, 0), 2880 / 15.0);
        QCOMPARE(xAfterTab(1), xAfterTab(0));
        QCOMPARE(xAfterTab(2), xAfterTab(0));
    }

    void lineSpacingRules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<int>("qtType");
        QTest::addColumn<double>("qtHeight");
        QTest::newRow("single") << 0 << 0 << int(QTextBlockFormat::SingleHeight) << 0.0;
        QTest::newRow("one and a half") << 1 << 0 << int(QTextBlockFormat::ProportionalHeight) << 150.0;
        QTest::newRow("double") << 2 << 0 << int(QTextBlockFormat::ProportionalHeight) << 200.0;
        QTest::newRow("at least") << 3 << 300 << int(QTextBlockFormat::MinimumHeight) << 20.0;
        QTest::newRow("exactly") << 4 << 450 << int(QTextBlockFormat::FixedHeight) << 30.0;
        QTest::newRow("multiple") << 5 << 50 << int(QTextBlockFormat::ProportionalHeight) << 250.0;
        // Heights of nothing would stack every line on the one before.
        QTest::newRow("exactly nothing") << 4 << 0 << int(QTextBlockFormat::SingleHeight) << 0.0;
        QTest::newRow("at least nothing") << 3 << 0 << int(QTextBlockFormat::SingleHeight) << 0.0;
        QTest::newRow("multiple of nothing") << 5 << 0 << int(QTextBlockFormat::SingleHeight) << 0.0;
        QTest::newRow("negative multiple") << 5 << -30 << int(QTextBlockFormat::SingleHeight) << 0.0;
        QTest::newRow("negative exactly, as RTF writes it") << 4 << -450 << int(QTextBlockFormat::FixedHeight) << 30.0;
    }

    void lineSpacingRules()
    {
        QFETCH(int, rule);
        QFETCH(int, spacing);
        QFETCH(int, qtType);
        QFETCH(double, qtHeight);
        RichEditView view;
        view.setPlainText(QStringLiteral("line"));
        ParaFormat format;
        format.mask = PFM_LINESPACING;
        format.lineSpacingRule = quint8(rule);
        format.lineSpacing = spacing;
        view.setParaFormat(format);
        QCOMPARE(int(view.paraFormat().lineSpacingRule), rule);
        QCOMPARE(view.paraFormat().lineSpacing, spacing);
        const QTextBlockFormat shown = view.document()->begin().blockFormat();
        QCOMPARE(shown.lineHeightType(), qtType);
        QCOMPARE(shown.lineHeight(), qtHeight);
    }

    void mappingWorksOnABareDocument()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("first"));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("second"));

        ParaFormat format;
        format.mask = PFM_NUMBERING | PFM_STARTINDENT | PFM_OFFSET;
        format.numbering = PFN_BULLET;
        format.startIndent = 200;
        format.offset = 520;
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        applyParaFormatToParagraphs(all, format);
        const ParaFormat read = readParaFormat(document.lastBlock());
        QCOMPARE(read.numbering, quint16(PFN_BULLET));
        QCOMPARE(read.startIndent, 200);
        QCOMPARE(read.offset, 520);
        QCOMPARE(document.lastBlock().blockFormat().textIndent(), 0.0);  // bullet hangs
        QCOMPARE(document.lastBlock().blockFormat().leftMargin(), 48.0);

        QTextCharFormat qt;
        CharFormat chars;
        chars.mask = CFM_BOLD | CFM_ITALIC | CFM_SIZE;
        chars.effects = CFE_ITALIC;
        chars.height = 210;
        applyCharFormat(chars, qt);
        const CharFormat back = readCharFormat(qt, QFont(QStringLiteral("Sans"), 9));
        QCOMPARE(back.effects & (CFE_BOLD | CFE_ITALIC), quint32(CFE_ITALIC));
        QCOMPARE(back.height, 210);
        QCOMPARE(back.faceName, QStringLiteral("Sans"));
        QVERIFY(back.effects & CFE_AUTOCOLOR);  // no colour of its own
    }
};

QTEST_MAIN(TestEngineFormats)
#include "tst_engineformats.moc"
