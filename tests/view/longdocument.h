#pragma once
// Long documents in a view and the places of their paragraphs, shared by the tests of the
// layout's work out of view (large format changes, new text widths).
#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <cstring>
#include <memory>

namespace longdocument {

struct BlockPlace {
    qreal top;
    int lines;
    bool operator==(const BlockPlace &) const = default;
};

inline QList<BlockPlace> places(QTextDocument *document)
{
    QList<BlockPlace> result;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        result.append({document->documentLayout()->blockBoundingRect(block).top(), block.layout()->lineCount()});
    return result;
}

struct Layout {
    QList<BlockPlace> places;
    QSizeF size;
    bool operator==(const Layout &) const = default;
};

inline Layout layoutOfView(engine::RichEditView &view)
{
    return {places(view.document()), view.document()->documentLayout()->documentSize()};
}

// What Qt's own layout makes of a copy of the document, laid out all at once.
inline Layout fullLayoutOf(engine::RichEditView &view)
{
    const QTextDocument *document = view.document();
    std::unique_ptr<QTextDocument> copy(document->clone());
    copy->setDocumentMargin(document->documentMargin());
    copy->setDefaultFont(document->defaultFont());
    copy->setDefaultTextOption(document->defaultTextOption());
    copy->setIndentWidth(document->indentWidth());
    copy->setPageSize(document->pageSize());
    return {places(copy.get()), copy->documentLayout()->documentSize()};
}

inline engine::FastDocumentLayout *layoutOf(engine::RichEditView &view)
{
    return dynamic_cast<engine::FastDocumentLayout *>(view.document()->documentLayout());
}

// Loads paragraphs of wrapping text as RTF, which Qt lays out from the top while the
// program waits for input.
inline void loadLong(engine::RichEditView &view, int paragraphs)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}";
    for (int i = 0; i < paragraphs; ++i) {
        rtf += (i % 3 == 0 ? "\\pard\\qr " : i % 3 == 1 ? "\\pard\\qj " : "\\pard ");
        rtf += "Paragraph " + QByteArray::number(i) + " of the {\\i long} document {\\f1\\fs28 \\u8212? which} wraps "
               "at the view's width once or twice, as its words run on\\par\r\n";
    }
    rtf += '}';
    qint64 at = 0;
    QVERIFY(view.streamIn(engine::SF_RTF, [&](char *buffer, qint64 max) {
        const qint64 count = std::min(max, qint64(rtf.size()) - at);
        std::memcpy(buffer, rtf.constData() + at, size_t(count));
        at += count;
        return count;
    }));
}

// A shown view right after loading a long document, while Qt still lays it out.
inline void showLongLoad(engine::RichEditView &view, int paragraphs = 3000)
{
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    loadLong(view, paragraphs);
}

}  // namespace longdocument
