#pragma once
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <vector>

class QTextDocument;

// Reads Rich Text Format into a QTextDocument.
//
// What counts as RTF: the bytes, after optional ASCII whitespace (space, tab, CR, LF),
// begin with "{" followed by the control word \rtf (with or without a version number).
// Anything after the outermost group's closing "}" (a trailing NUL, line ends, junk) is
// ignored. Inside the group the reader is lenient: unknown control words are ignored,
// unknown destinations and those marked \* are skipped, and stray bytes are read as
// text. Damaged data still reads as far as it goes, and the first damage found is
// reported with its byte offset (RtfDamage): groups left open at the end of the data
// close there (a truncated file), a \binN longer than the data takes what is there, and
// a picture whose data is not hex is dropped alone. Only input that does not start like
// RTF fails (NotRtf, empty input included); a missing document gives NoDocument.
//
// Limits, so that no input exhausts stack or memory (the reader never recurses):
// nesting is read at any depth, with memory for one offset per level and one group
// state per level that changes it; past kMaxRtfGroupStates changed levels, deeper
// levels share the deepest kept state (their text keeps its formatting, and the
// destinations they start are skipped). Numeric parameters are clamped to 32 bits; a
// picture over kMaxRtfPictureBytes of data or kMaxRtfPicturePixels pixels is dropped,
// and pictures beyond kMaxRtfPictures or kMaxRtfTotalPictureBytes are dropped too; at
// most kMaxRtfFonts fonts, kMaxRtfColors colours, kMaxRtfLists lists and
// kMaxRtfFieldDepth nested fields are kept (the rest read as plain text or the
// default).
//
// The bytes are checked once, before the document is touched, so a failed read leaves
// the document as it was; a successful one replaces its content. What a lenient read
// leaves out is counted in the result and reported to the "wp.rtf" logging category
// (with its byte offset), so that a user's report can be diagnosed.
namespace engine {

Q_DECLARE_LOGGING_CATEGORY(lcRtf)

constexpr int kMaxRtfGroupStates = 10000;
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
};

// What was wrong with data that was read all the same.
enum class RtfDamage {
    None,
    UnclosedGroup,  // the data ends before its outermost group closes
    ShortBinary,    // a \binN announces more bytes than the data holds
    BadPicture,     // a picture's data is not hexadecimal
};

// What a successful lenient read left out.
struct RtfSkipped {
    int pictures = 0;      // damaged, of an unknown kind, or past a picture limit
    int deepGroups = 0;    // levels past kMaxRtfGroupStates that shared a state
    int destinations = 0;  // unknown destinations and optional ones (\*) not read

    bool any() const { return pictures > 0 || deepGroups > 0 || destinations > 0; }
};

struct RtfReadResult {
    RtfReadResult() = default;
    RtfReadResult(RtfReadError failure, qsizetype at) : error(failure), offset(at) {}

    RtfReadError error = RtfReadError::None;
    qsizetype offset = 0;  // byte offset where the error was found
    RtfDamage damage = RtfDamage::None;
    qsizetype damageOffset = 0;  // of the first damage
    RtfSkipped skipped;

    bool ok() const { return error == RtfReadError::None; }
    bool damaged() const { return damage != RtfDamage::None; }
    QString message() const;  // a sentence for the user, empty when ok
    // What was wrong, to follow "<file> is damaged: ", as in "it ends before its last
    // group is closed (byte 18,204)"; empty when the data was whole.
    QString damageDescription() const;
};

// Reads the bytes into the document, replacing its content. A failed read leaves the
// document as it was: the bytes are checked first, in the same pass that finds where the
// document starts.
RtfReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The same in two steps, for a caller that prepares its document only for bytes that
// will read: the check alone (no document needed), then the read of checked bytes.
struct RtfCheck {
    RtfReadResult result;  // NotRtf, or ok
    qsizetype start = -1;  // the outermost group's brace, when ok
};
RtfCheck checkRtf(const QByteArray &bytes);
RtfReadResult readCheckedRtf(const QByteArray &bytes, const RtfCheck &check, QTextDocument *document);

// Reading checked bytes into a document that keeps what it holds, at its end, as a paste
// there gives it: the first paragraph's text joins the document's last paragraph (a list
// item's text starts a paragraph of its own unless that paragraph is a list item too),
// and only at the document's very start does the first paragraph take its formats. The
// document's own settings (page setup, kept groups) stay as they are. The text goes
// straight into the document's storage: the caller holds an edit block open, with the
// recording of undo steps paused, and undoes it with a removal of what was added.
// Reading the same bytes again after that removal, with `reuseObjects`, makes the same
// document again: the same lists and tables under the same object indexes, so that undo
// steps recorded after the first reading still apply. Bytes without text change nothing.
struct RtfAppend {
    QString resourcePrefix;     // put before the names of the pictures and marks added
    std::vector<int> objects;   // the object indexes of the lists and tables made, in order
    bool reuseObjects = false;  // make them under `objects` rather than new indexes
};
RtfReadResult appendCheckedRtf(const QByteArray &bytes, const RtfCheck &check, QTextDocument *document,
                               RtfAppend &append);

}  // namespace engine
