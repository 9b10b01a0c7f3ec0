#include "richedit/wwriched_lines.h"

#include "richedit/wwriched.h"
#include "richedit/wwriched_files.h"
#include "richedit/wwriched_stream.h"
#include "richedit/wwriched_textonly.h"

#include <QRegularExpression>

namespace {

const QString kParagraphEnd = QStringLiteral("\r\n");

// Restores a value when leaving a scope, also by an exception.
template <typename T>
class RestoreOnExit {
public:
    explicit RestoreOnExit(T &target) : m_target(target), m_saved(target) {}
    ~RestoreOnExit() { m_target = std::move(m_saved); }
    RestoreOnExit(const RestoreOnExit &) = delete;
    RestoreOnExit &operator=(const RestoreOnExit &) = delete;

private:
    T &m_target;
    T m_saved;
};

class EventMaskScope {
public:
    EventMaskScope(engine::RichEditView &view, quint32 removed) : m_view(view), m_saved(view.eventMask())
    {
        m_view.setEventMask(m_saved & ~removed);
    }
    ~EventMaskScope() { m_view.setEventMask(m_saved); }
    EventMaskScope(const EventMaskScope &) = delete;
    EventMaskScope &operator=(const EventMaskScope &) = delete;

private:
    engine::RichEditView &m_view;
    quint32 m_saved;
};

class UpdateScope {
public:
    explicit UpdateScope(TwwRichEditStrings &lines) : m_lines(lines) { m_lines.BeginUpdate(); }
    ~UpdateScope() { m_lines.EndUpdate(); }
    UpdateScope(const UpdateScope &) = delete;
    UpdateScope &operator=(const UpdateScope &) = delete;

private:
    TwwRichEditStrings &m_lines;
};

QStringList splitLines(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    // A text ending in a line end has no further line after it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

TwwRichEditStrings::TwwRichEditStrings(TwwCustomRichEdit *owner) : m_owner(owner) {}

int TwwRichEditStrings::Count() const
{
    const int lines = m_owner->lineCount();
    if (lines == 0)
        return 0;
    const int lastStart = m_owner->lineIndex(lines - 1);
    return m_owner->lineLength(lastStart) == 0 ? lines - 1 : lines;
}

QString TwwRichEditStrings::Get(int index) const
{
    if (index < 0)
        return QString();
    return m_owner->lineText(index);
}

void TwwRichEditStrings::Put(int index, const QString &text)
{
    if (index < 0)
        return;
    const int start = m_owner->lineIndex(index);
    if (start < 0)
        return;
    m_owner->setSelectionRange({start, start + m_owner->lineLength(start)});
    m_owner->replaceSelection(text);
}

// An existing line gets the text and a paragraph end in front of it. Past the last
// line the text goes after the end of the line before, which must exist and hold text.
void TwwRichEditStrings::Insert(int index, const QString &text)
{
    if (index < 0)
        return;
    const int start = m_owner->lineIndex(index);
    if (start >= 0) {
        insertAt(start, text + kParagraphEnd);
        return;
    }
    if (index == 0)
        return;
    const int previousStart = m_owner->lineIndex(index - 1);
    if (previousStart < 0)
        return;
    const int previousLength = m_owner->lineLength(previousStart);
    if (previousLength == 0)
        return;
    insertAt(previousStart + previousLength, kParagraphEnd + text);
}

void TwwRichEditStrings::insertAt(int position, const QString &text)
{
    m_owner->setSelectionRange({position, position});
    m_owner->replaceSelection(text);
}

void TwwRichEditStrings::Delete(int index)
{
    if (index < 0)
        return;
    const int start = m_owner->lineIndex(index);
    if (start < 0)
        return;
    const int next = m_owner->lineIndex(index + 1);
    const int end = next >= 0 ? next : start + m_owner->lineLength(start);
    m_owner->setSelectionRange({start, end});
    m_owner->replaceSelection(QString());
}

void TwwRichEditStrings::Clear()
{
    m_owner->Clear();
    m_fileFormat = DocumentFileFormat();
}

QString TwwRichEditStrings::Text() const
{
    QString text;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += QLatin1Char('\n');
    }
    return text;
}

void TwwRichEditStrings::SetText(const QString &text)
{
    EventMaskScope noChangeEvents(*m_owner, engine::ENM_CHANGE);
    Assign(splitLines(text));
}

QStringList TwwRichEditStrings::ToStringList() const
{
    QStringList lines;
    const int count = Count();
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(Get(i));
    return lines;
}

void TwwRichEditStrings::Assign(const QStringList &lines)
{
    UpdateScope update(*this);
    Clear();
    for (const QString &line : lines)
        Add(line);
}

void TwwRichEditStrings::AddStrings(const QStringList &lines)
{
    RestoreOnExit<TwwCustomRichEdit::TNotifyEvent> keepHandler(m_owner->OnSelectionChange);
    m_owner->OnSelectionChange = nullptr;
    UpdateScope update(*this);
    for (const QString &line : lines)
        Add(line);
}

void TwwRichEditStrings::BeginUpdate()
{
    if (m_updateCount++ == 0)
        setUpdating(true);
}

void TwwRichEditStrings::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        setUpdating(false);
}

// Redraw is switched off only while the control is showing, like the platform's
// redraw flag, and is switched back on only when this object switched it off.
void TwwRichEditStrings::setUpdating(bool updating)
{
    if (updating) {
        m_redrawSuspended = m_owner->isVisible() && m_owner->updatesEnabled();
        if (m_redrawSuspended)
            m_owner->setUpdatesEnabled(false);
        return;
    }
    if (m_redrawSuspended) {
        m_owner->setUpdatesEnabled(true);
        m_redrawSuspended = false;
    }
    m_owner->viewport()->update();
    emit m_owner->textChanged();
}

// A document opened from a file brings its own page setup, or a fresh document's.
void TwwRichEditStrings::LoadFromFile(const QString &fileName)
{
    readFileFrom(fileName, [this](QIODevice &file) {
        m_lastLoad = loadRichContent(*m_owner, m_owner->PlainText(), file);
    });
    m_fileFormat = m_lastLoad.Format;
    m_owner->UseDefaultPageSetup();
    m_owner->TakeDocumentPageSetup();
}

void TwwRichEditStrings::LoadFromStream(QIODevice &stream)
{
    m_lastLoad = loadRichContent(*m_owner, m_owner->PlainText(), stream);
    if (m_lastLoad.ReadAsRtf)
        m_owner->TakeDocumentPageSetup();
}

void TwwRichEditStrings::SaveToFile(const QString &fileName) const
{
    writeFileSafely(fileName, [this](QIODevice &file) { SaveToStream(file); });
}

void TwwRichEditStrings::SaveToStream(QIODevice &stream) const
{
    saveRichContent(*m_owner, m_owner->PlainText(), stream);
}

void TwwRichEditStrings::SaveToFileIn(const QString &fileName, const DocumentFileFormat &format)
{
    DocumentFileFormat written = format;
    writeFileSafely(fileName, [&](QIODevice &file) {
        if (format.plainText)
            written.text = saveTextContent(*m_owner, format.text, file);
        else
            saveRichContent(*m_owner, false, file);
    });
    m_fileFormat = written;
}

bool TwwRichEditStrings::HoldsMoreThanText() const
{
    return documentHoldsMoreThanText(*m_owner->document());
}
