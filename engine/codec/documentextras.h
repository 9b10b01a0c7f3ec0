#pragma once
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMetaType>
#include <QString>

class QTextDocument;

// What an RTF document holds beyond its body text that the editor does not show but
// must write back: the page setup, and groups kept as they were read (headers and
// footers, the information group, the stylesheet). Kept RTF refers to fonts and colours
// by the numbers of the file it came from, so those tables come along; a writer renumbers
// the references into its own tables. The extras live on the document, and a document
// that gets new content without them (plain text, a cleared editor) drops them.
namespace engine {

// Page size, margins and where headers and footers stand, in twips. The paper is 0 where
// the document gives none; a margin or distance is kNotGiven (0 is a margin like any other).
struct PageSetup {
    static constexpr int kNotGiven = -1;

    int paperWidth = 0;              // \paperw
    int paperHeight = 0;             // \paperh
    int marginLeft = kNotGiven;      // \margl
    int marginRight = kNotGiven;     // \margr
    int marginTop = kNotGiven;       // \margt
    int marginBottom = kNotGiven;    // \margb
    bool landscape = false;
    int headerY = kNotGiven;         // \headery: the header's top from the paper's top edge
    int footerY = kNotGiven;         // \footery: the footer's bottom from the paper's bottom edge
    bool titlePage = false;          // \titlepg: the first page has headers and footers of its own
    bool facingPages = false;        // \facingp: left and right pages have theirs

    bool isEmpty() const { return *this == PageSetup(); }
    bool operator==(const PageSetup &) const = default;
};

struct KeptFont {
    int number = 0;  // in the file the kept RTF came from
    QString face;
    int charset = 0;
    int pitchAndFamily = 0;
};

struct DocumentExtras {
    PageSetup page;
    QByteArray headerGroups;  // stylesheet, information, headers and footers, in file order
    QList<KeptFont> sourceFonts;
    int sourceDefaultFont = 0;  // the font \plain resets to there (\deff)
    QList<QColor> sourceColors;  // invalid: the automatic colour

    bool isEmpty() const { return page.isEmpty() && headerGroups.isEmpty(); }
};

DocumentExtras documentExtras(const QTextDocument *document);
void setDocumentExtras(QTextDocument *document, const DocumentExtras &extras);
void clearDocumentExtras(QTextDocument *document);

}  // namespace engine

Q_DECLARE_METATYPE(engine::DocumentExtras)
