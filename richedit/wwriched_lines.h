#pragma once
#include "richedit/wwriched_stream.h"

#include <QString>
#include <QStringList>

class QIODevice;
class TwwCustomRichEdit;

// Line-wise and stream access to an editor control's content; the only way documents
// are loaded and saved. It owns no strings: every operation works on the control's
// content, where a line is a paragraph, always returned whole. Owned by its control.
class TwwRichEditStrings {
public:
    explicit TwwRichEditStrings(TwwCustomRichEdit *owner);
    TwwRichEditStrings(const TwwRichEditStrings &) = delete;
    TwwRichEditStrings &operator=(const TwwRichEditStrings &) = delete;

    // Paragraphs, not counting an empty last one (an empty document has none).
    int Count() const;
    QString Get(int index) const;  // empty for a line that does not exist
    void Put(int index, const QString &text);
    void Insert(int index, const QString &text);
    void Add(const QString &text) { Insert(Count(), text); }
    void Delete(int index);
    void Clear();  // all text removed, Modified false

    // Every line followed by "\n". Setting it replaces the content without change
    // notifications; CR LF, CR and LF all split lines.
    QString Text() const;
    void SetText(const QString &text);

    void Assign(const QStringList &lines);  // clear, then add each line
    void AddStrings(const QStringList &lines);
    QStringList ToStringList() const;

    // Nested; while updating the control is not repainted. The outermost end refreshes
    // it and emits its text-changed notification.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

    // As RTF unless the control is in plain-text mode; loading tries RTF first and
    // falls back to plain text. Files are replaced only once completely written. A file
    // brings its page setup, or a fresh document's; a stream only the one it holds.
    void LoadFromFile(const QString &fileName);
    void LoadFromStream(QIODevice &stream);
    void SaveToFile(const QString &fileName) const;
    void SaveToStream(QIODevice &stream) const;
    // How the last load from a file or stream went: the format it was read in and why
    // RTF was not, or what a lenient RTF read left out.
    const TwwLoadReport &LastLoadReport() const { return m_lastLoad; }

    // The format of the document file: what LoadFromFile read (RTF, or plain text with
    // its encoding and line ends) or SaveToFileIn wrote last; RTF after Clear.
    DocumentFileFormat FileFormat() const { return m_fileFormat; }
    // Writes the content in `format`, whatever the PlainText mode, and remembers the
    // format written (text that Windows-1252 cannot hold is written as UTF-8).
    void SaveToFileIn(const QString &fileName, const DocumentFileFormat &format);
    // Whether the content holds anything a plain-text file cannot keep.
    bool HoldsMoreThanText() const;

private:
    void insertAt(int position, const QString &text);
    void setUpdating(bool updating);

    TwwCustomRichEdit *m_owner;
    int m_updateCount = 0;
    TwwLoadReport m_lastLoad;
    DocumentFileFormat m_fileFormat;
    bool m_redrawSuspended = false;
};
