#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads Rich Text Format into a QTextDocument.
//
// What counts as RTF: the bytes, after optional ASCII whitespace (space, tab, CR, LF),
// begin with "{" followed by the control word \rtf (with or without a version number),
// and that outermost group closes. Anything after the closing "}" (a trailing NUL, line
// ends, junk) is ignored. Inside the group the reader is lenient: unknown control words
// are ignored, unknown destinations and those marked \* are skipped, damaged pictures
// are dropped, and stray bytes are read as text. So exactly two things make the reader
// fail: input that does not start like RTF (NotRtf, empty input included) and an
// outermost group that never closes (UnclosedGroup, which is how truncated files and
// "{\rtf1 junk" without its brace end). A missing document gives NoDocument.
//
// Limits, so that no input exhausts stack or memory (the reader never recurses):
// groups nested deeper than kMaxRtfGroupDepth are skipped whole and reading goes on
// after them; numeric parameters are clamped to 32 bits; a picture over
// kMaxRtfPictureBytes of data or kMaxRtfPicturePixels pixels is dropped, and pictures
// beyond kMaxRtfPictures or kMaxRtfTotalPictureBytes are dropped too; at most
// kMaxRtfFonts fonts, kMaxRtfColors colours, kMaxRtfLists lists and kMaxRtfFieldDepth
// nested fields are kept (the rest read as plain text or the default); \binN data is
// skipped by its length.
//
// The document is cleared and filled afresh. On failure it holds whatever was read up
// to the error: the caller discards it.
namespace engine {

constexpr int kMaxRtfGroupDepth = 256;
constexpr qsizetype kMaxRtfPictureBytes = 64 * 1024 * 1024;
constexpr qsizetype kMaxRtfTotalPictureBytes = 512 * 1024 * 1024;
constexpr qint64 kMaxRtfPicturePixels = 64 * 1024 * 1024;
constexpr int kMaxRtfPictures = 10000;
constexpr int kMaxRtfFonts = 4096;
constexpr int kMaxRtfColors = 4096;
constexpr int kMaxRtfLists = 4096;
constexpr int kMaxRtfFieldDepth = 32;

enum class RtfReadError {
    None,
    NoDocument,
    NotRtf,
    UnclosedGroup,
};

struct RtfReadResult {
    RtfReadError error = RtfReadError::None;
    qsizetype offset = 0;  // byte offset where the error was found

    bool ok() const { return error == RtfReadError::None; }
    QString message() const;  // a sentence for the user, empty when ok
};

// Reads the bytes into the document, replacing its content. A failed read leaves the
// document as it was: the bytes are checked first.
RtfReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The two things that make reading fail, checked without a document: the bytes must start,
// after ASCII whitespace, with "{\rtf", and that outermost group must close. Everything
// else the reader takes leniently.
RtfReadResult checkRtf(const QByteArray &bytes);

}  // namespace engine
