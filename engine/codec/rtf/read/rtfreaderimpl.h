#pragma once
#include "engine/codec/documentextras.h"
#include "engine/codec/rtf/rtfcontrolwords.h"
#include "engine/codec/rtf/read/notemark.h"
#include "engine/codec/rtf/read/rtfdocumentbuilder.h"
#include "engine/codec/rtf/read/rtflisttables.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/read/rtfreaderstate.h"
#include "engine/codec/rtf/read/rtftablecollector.h"
#include "engine/codec/rtf/read/rtftabledefinition.h"
#include "engine/codec/rtf/read/rtftableplacer.h"
#include "engine/codec/rtf/read/picturedecoder.h"
#include "engine/codec/rtf/read/sourcetables.h"
#include "engine/codec/rtf/rtftokenizer.h"

#include <QHash>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextImageFormat>
#include <array>
#include <optional>
#include <vector>

// The RTF reader's working parts. readRtf() in rtfreader.h is the entry point.
namespace engine::rtfin {

class Reader {
public:
    // With `append`, the bytes go in at the end of what the document holds (appendCheckedRtf()).
    Reader(const QByteArray &bytes, QTextDocument *document, RtfAppend *append = nullptr);
    // Reads the document whose outermost group opens at `start`; the bytes are known to
    // be RTF whose outermost group closes.
    RtfReadResult read(qsizetype start);

private:
    // A state's format, and its index in the document's formats once asked for.
    struct CachedFormat {
        QTextCharFormat format;
        int index = -1;
    };
    struct Field {
        QString instruction;
        bool resultIsInstruction = false;  // a field nested in another's instruction
        bool shown = false;  // its result has shown something or ended a paragraph
        int kept = -1;       // the index its instruction is kept at, once its result began
    };
    struct Object {
        qsizetype offset = 0;  // of its \object word: text before it in its group is read as text
        int parent = -1;       // the object whose result holds it
        bool shown = false;    // its result has shown something
    };

    // Groups (rtfreader.cpp)
    void enterOutermostGroup(qsizetype start);
    void readGroups();
    void finishAtEnd(qsizetype offset);  // the data ended inside a group
    void noteDamage(RtfDamage damage, qsizetype offset);
    bool skipDestination(QByteArrayView name, qsizetype offset);  // counted and logged
    void openGroup(qsizetype offset);
    void closeGroup();
    std::optional<GroupState> popLevel();  // the closed level's own state, if it had one
    bool skipGroup();  // skips the rest of the current group; false at the end of input
    void endGroupActions(const GroupState &closed);
    // Levels share the state of the level below until something changes it: current()
    // reads the state of the innermost group, top() gives it its own copy to change
    // (past kMaxRtfGroupStates copies, the deepest kept one).
    const GroupState &current() const { return m_states.back(); }
    GroupState &top();
    int depth() const { return int(m_levelOffsets.size()); }
    bool sharesPastLimit() const;

    // Tokens (rtfreader.cpp)
    void handleText(QByteArrayView text);
    void handleHexByte(quint8 byte);
    void handleBinary(QByteArrayView bytes);
    void handleSymbol(char symbol);
    bool handleWord(const RtfToken &token);  // false when a skip ran into the end of input
    bool skipUnicodeFallback(RtfToken &token);
    static bool continuesBytes(const RtfToken &token);

    // Groups kept as they are, to be written back (rtfreader_kept.cpp)
    static bool isHeaderGroup(RtfWord word);
    static bool isNoteGroup(RtfWord word);
    bool canKeepGroup() const;
    // From the word at `offset` to the group's end; false when that is the end of input.
    bool keepGroup(RtfWord word, qsizetype offset, bool starred);
    void keepNote(RtfWord word, QByteArray bytes);
    void keepMark(NoteKind kind, const QByteArray &bytes);  // a bookmark or a shape
    // The group whose destination word is at `offset`, up to where reading is; nothing
    // when the data ends inside it, as it could not be written back whole.
    QByteArray keptGroupFrom(qsizetype offset) const;
    void appendMark(NoteKind kind, int number, QByteArrayView shown, const QByteArray &kept);
    bool shapeHoldsText();  // at the shape's word; leaves the position there
    void handlePageWord(RtfWord word, const RtfToken &token);
    void handleSectionPageWord(RtfWord word, const RtfToken &token);
    void storeExtras();
    void keepFieldInstruction(const QString &instruction, CharState &chars);
    void noteFieldShown();
    void keepEmptyField(const Field &field);  // the field has just closed
    bool keepShapeGroup(RtfWord word, qsizetype offset, bool starred);  // false: read it as usual

    // Control words by concern (rtfreader_words.cpp)
    bool handleDestination(RtfWord word);
    void handleDocumentWord(RtfWord word, const RtfToken &token);
    bool handleCharacterWord(RtfWord word, const RtfToken &token);  // false for other words
    bool handleParagraphWord(RtfWord word, const RtfToken &token);  // false for other words
    void noteParagraphChange();
    // The properties of the paragraph being read: the last ones set in its text, also
    // in a group that closed before its paragraph mark.
    const ParaState &paragraphState() const { return m_paragraphSet ? m_lastParagraph : current().para; }
    void handleSymbolWord(RtfWord word);
    void handlePictureWord(RtfWord word, const RtfToken &token);
    void handleFontWord(RtfWord word, const RtfToken &token);
    void handleUnicode(int value);

    // Fonts of other scripts (rtfreader_scripts.cpp)
    bool handleScriptWord(RtfWord word, const RtfToken &token);  // false for other words
    void appendBodyText(QStringView text);
    const CharState &shownState(const CharState &state);
    void addScriptProperties(const CharState &state, QTextCharFormat &format) const;

    // Tab stops and direction (rtfreader_tabs.cpp)
    bool handleTabWord(RtfWord word, int position);  // false for other words
    static void addTabStop(ParaState &para, int position, quint8 code);
    static void setTabStops(const ParaState &state, ParaFormat &record, QTextBlockFormat &format);
    static void setDirection(const ParaState &state, QTextBlockFormat &format);

    // Text (rtfreader_text.cpp)
    void flushBytes();
    void deliverText(QStringView text);
    void deliverChar(char16_t c);
    void bodyText(QStringView text);
    void beginContent();
    void emitListText();
    void endParagraph();
    // The paragraph goes into a table at `tableLevel`, or at its own level when -1.
    void finishParagraph(int tableLevel = -1);
    void finishDocument();
    void breakPage();
    void commitFontEntry();

    // Tables (rtfreader_tables.cpp)
    void handleTableWord(RtfWord word, const RtfToken &token);
    static int tableLevelOf(const ParaState &state);  // 0 outside tables, unlimited
    void endTableCell(int level);
    void endTableRow(int level, const RowDefinition &definition);
    void placeOpenTable(const QTextBlockFormat &after, const QTextCharFormat &afterMark);
    void finishPicture();
    bool showInObject(bool picture);
    bool keepShownObject();  // false when a skip ran into the end of input

    // Lists (rtflistreader.cpp)
    bool openListDestination(RtfWord word, GroupState &group);  // false for other words
    void closeListDestination(Destination inner, Destination outer);
    void handleListWord(RtfWord word, const RtfToken &token);
    void handlePnWord(RtfWord word, const RtfToken &token);
    void appendListDefinitionText(QStringView text, bool asBytes);
    std::optional<ListItem> listItemOf(const ParaState &state) const;
    void notePnContinuity(const ParaState &state);
    void finishListLevel();
    int internPnStyle();
    int internNewPnStyle();
    QString decodePnText(const ListDefinitionText &text);
    QString decodeBytes(const ListDefinitionText &text, int font);
    void setMarkerText(ListLevelStyle &style, const QString &text, int font);
    QString fontName(int number) const;

    // Formats (rtfreader_formats.cpp)
    QTextCharFormat charFormat(const CharState &state);
    int textFormatIndex(const CharState &state);  // charFormat() as an index in the document's formats
    int currentTextFormatIndex();  // textFormatIndex(current().chars)
    const CachedFormat &charFormatFor(const CharState &state);
    QTextBlockFormat blockFormat(const ParaState &state);
    bool isBullet(const ParaState &state) const;
    void forgetFormats();  // after a table changed: formats made before may differ
    int codePageOf(const CharState &state) const;
    int codePageOfFont(const FontEntry &font) const;

    const QByteArray &m_bytes;
    QTextDocument *m_document;
    RtfTokenizer m_tokens;
    DocumentBuilder m_builder;
    const QString m_resourcePrefix;  // of the names of the pictures and marks added
    const bool m_appends;            // the document keeps what it holds and its settings
    std::vector<GroupState> m_states;        // the distinct states, outermost first
    std::vector<int> m_stateLevels;          // the level at which each state begins
    std::vector<qsizetype> m_levelOffsets;   // of each open group's '{'
    RtfDamage m_damage = RtfDamage::None;
    qsizetype m_damageOffset = 0;
    bool m_starPending = false;
    int m_unicodeSkipLeft = 0;

    // Document properties
    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    int m_defaultLanguage = 0;

    // Tables
    SourceFontTable m_fonts;
    SourceColorTable m_colors;
    ListReading m_listReading;
    CodePageDecoder m_decoder;

    // Entries being read
    int m_fontNumber = 0;
    FontEntry m_font;
    QByteArray m_fontNameBytes;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    // Text awaiting its code page decoding, and the list number a file shows for readers
    // that cannot number, kept as text only where the paragraph is no list item
    QByteArray m_pendingBytes;
    QString m_listText;
    QTextCharFormat m_listTextFormat;

    // Body state
    ParaState m_defaultParagraph;  // from \defpap
    ParaState m_lastParagraph;
    bool m_paragraphSet = false;
    int m_pendingCellTabs = 0;  // cells past the table limits, read as tab-separated text
    TableCollector m_tables;
    TablePlacer m_placer{m_builder, m_colors};
    RowDefinitionReader m_rowWords;
    RowDefinition m_rowDefinition;        // of the rows of the outermost table
    RowDefinition m_nestedRowDefinition;  // of the nested row ending next
    bool m_pageBreakNext = false;
    bool m_shapePictureShown = false;  // the last \shppict gave a picture: skip \nonshppict
    std::vector<Field> m_fields;
    QList<QString> m_links;
    QList<QString> m_fieldInstructions;  // of fields other than links
    std::vector<Object> m_objects;
    int m_objectToKeep = -1;           // the object whose picture was just shown
    QTextImageFormat m_objectPicture;  // that picture, placed once the object's bytes are known
    PictureData m_picture;
    qsizetype m_pictureOffset = 0;  // of the picture's \pict
    qsizetype m_destinationOffset = 0;  // of the destination word being handled
    RtfSkipped m_skipped;
    DocumentExtras m_extras;
    bool m_pastFirstSection = false;  // page words of later sections do not describe the document's page
    QByteArray m_noteAnchor;  // what comes before the next note: \chftn, a comment's id
    int m_notes = 0;
    int m_footnotes = 0;
    int m_endnotes = 0;
    int m_pictureCount = 0;
    qsizetype m_pictureBytes = 0;

    // Format caches
    QHash<CharState, CachedFormat> m_charFormats;
    // The formats of recent character states, each kept in the slot its state gives
    // (CharState::slot()): text alternates between a few dozen states (plain, bold, a
    // link...), and one comparison finds a state where hashing it would cost more.
    struct RecentFormat {
        CharState state;
        QTextCharFormat format;
        int index = -1;
        quint32 generation = 0;  // the entry holds a state of this generation of formats
    };
    RecentFormat &recentFormat(const CharState &state);
    static constexpr int kRecentFormatBits = 6;
    std::array<RecentFormat, 1 << kRecentFormatBits> m_recentFormats;
    quint32 m_formatGeneration = 1;  // counts forgetFormats()
    QHash<ParaState, QTextBlockFormat> m_blockFormats;
    CharState m_latinState;
    quint8 m_pendingTabCode = 0;  // the kind of the next \tx
};

}  // namespace engine::rtfin
