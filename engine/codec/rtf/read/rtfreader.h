#pragma once
#include <QByteArray>
#include <QLoggingCategory>
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
// The bytes are checked once, before the document is touched, so a failed read leaves
// the document as it was; a successful one replaces its content. What a lenient read
// leaves out is counted in the result and reported to the "wp.rtf" logging category
// (with its byte offset), so that a user's report can be diagnosed.
namespace engine {

Q_DECLARE_LOGGING_CATEGORY(lcRtf)

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

// What a successful lenient read left out.
struct RtfSkipped {
    int pictures = 0;      // damaged, of an unknown kind, or past a picture limit
    int deepGroups = 0;    // nested deeper than kMaxRtfGroupDepth
    int destinations = 0;  // unknown destinations and optional ones (\*) not read

    bool any() const { return pictures > 0 || deepGroups > 0 || destinations > 0; }
};

struct RtfReadResult {
    RtfReadResult() = default;
    RtfReadResult(RtfReadError failure, qsizetype at) : error(failure), offset(at) {}

    RtfReadError error = RtfReadError::None;
    qsizetype offset = 0;  // byte offset where the error was found
    RtfSkipped skipped;

    bool ok() const { return error == RtfReadError::None; }
    QString message() const;  // a sentence for the user, empty when ok
};

// Reads the bytes into the document, replacing its content. A failed read leaves the
// document as it was: the bytes are checked first, in the same pass that finds where the
// document starts.
RtfReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The same in two steps, for a caller that prepares its document only for bytes that
// will read: the check alone (no document needed), then the read of checked bytes.
struct RtfCheck {
    RtfReadResult result;  // NotRtf or UnclosedGroup, or ok
    qsizetype start = -1;  // the outermost group's brace, when ok
};
RtfCheck checkRtf(const QByteArray &bytes);
RtfReadResult readCheckedRtf(const QByteArray &bytes, const RtfCheck &check, QTextDocument *document);

}  // namespace engine
