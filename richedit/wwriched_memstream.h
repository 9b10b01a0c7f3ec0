#pragma once
#include <QIODevice>

// An in-memory byte stream with one contiguous block, used where editor content is kept
// or copied in memory (the stored Data property, copying between controls). Its capacity grows in steps of 128 KiB, so streaming a large
// document out of the engine needs few reallocations. It is open for reading and
// writing from construction and can be passed wherever a QIODevice is expected.
class TwwRichMemoryStream : public QIODevice {
    Q_OBJECT
public:
    static constexpr qint64 CapacityStep = 131072;

    explicit TwwRichMemoryStream(QObject *parent = nullptr);
    ~TwwRichMemoryStream() override;

    // Capacity is rounded up to a multiple of CapacityStep; 0 frees the block; the same
    // capacity again changes nothing. Raises EStreamError when the block cannot be
    // obtained, keeping the previous block and content.
    qint64 capacity() const { return m_capacity; }
    void setCapacity(qint64 requested);

    // Grows or shrinks the content; a position past the new end moves to the end.
    void setSize(qint64 newSize);
    void clear();  // frees the block and empties the stream

    const char *data() const { return m_block; }
    QByteArray toByteArray() const { return QByteArray(m_block, m_size); }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

    // Resizes the block to `bytes` (never 0); nullptr means the memory could not be
    // obtained and the old block is still valid. Overridable so tests can make it fail.
    virtual char *reallocateBlock(char *block, qint64 bytes);

private:
    char *m_block = nullptr;
    qint64 m_capacity = 0;
    qint64 m_size = 0;
};
