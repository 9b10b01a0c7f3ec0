#include "richedit/wwriched_memstream.h"

#include "platform/exceptions.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

qint64 roundedCapacity(qint64 requested)
{
    const qint64 step = TwwRichMemoryStream::CapacityStep;
    if (requested > std::numeric_limits<qint64>::max() - step)
        return -1;
    return (requested + step - 1) / step * step;
}

[[noreturn]] void raiseOutOfMemory()
{
    throw EStreamError(QStringLiteral("Out of memory while expanding memory stream"));
}

}  // namespace

TwwRichMemoryStream::TwwRichMemoryStream(QObject *parent) : QIODevice(parent)
{
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

TwwRichMemoryStream::~TwwRichMemoryStream()
{
    std::free(m_block);
}

void TwwRichMemoryStream::setCapacity(qint64 requested)
{
    if (requested <= 0) {
        std::free(m_block);
        m_block = nullptr;
        m_capacity = 0;
        m_size = 0;
        return;
    }
    const qint64 capacity = roundedCapacity(requested);
    if (capacity == m_capacity)
        return;
    if (capacity < 0 || quint64(capacity) > std::numeric_limits<size_t>::max())
        raiseOutOfMemory();
    char *block = reallocateBlock(m_block, capacity);
    if (!block)
        raiseOutOfMemory();
    m_block = block;
    m_capacity = capacity;
    m_size = qMin(m_size, m_capacity);
}

char *TwwRichMemoryStream::reallocateBlock(char *block, qint64 bytes)
{
    return static_cast<char *>(std::realloc(block, size_t(bytes)));
}

void TwwRichMemoryStream::setSize(qint64 newSize)
{
    newSize = qMax<qint64>(newSize, 0);
    const qint64 oldSize = m_size;
    setCapacity(newSize);
    if (newSize > oldSize)
        std::memset(m_block + oldSize, 0, size_t(newSize - oldSize));
    m_size = newSize;
    if (pos() > m_size)
        QIODevice::seek(m_size);
}

void TwwRichMemoryStream::clear()
{
    setCapacity(0);
    QIODevice::seek(0);
}

bool TwwRichMemoryStream::seek(qint64 pos)
{
    if (pos < 0)
        return false;
    return QIODevice::seek(pos);
}

qint64 TwwRichMemoryStream::readData(char *data, qint64 maxSize)
{
    const qint64 available = m_size - pos();
    if (available <= 0 || maxSize <= 0)
        return 0;
    const qint64 count = qMin(available, maxSize);
    std::memcpy(data, m_block + pos(), size_t(count));
    return count;
}

// A write past the current capacity grows the block; a write that starts past the end
// fills the gap with zero bytes. Growth failure is reported through errorString() and
// a -1 result, as QIODevice callers expect, and leaves the stream as it was.
qint64 TwwRichMemoryStream::writeData(const char *data, qint64 size)
{
    if (size <= 0)
        return 0;
    const qint64 start = pos();
    if (start > std::numeric_limits<qint64>::max() - size) {
        setErrorString(QStringLiteral("Out of memory while expanding memory stream"));
        return -1;
    }
    const qint64 end = start + size;
    if (end > m_capacity) {
        try {
            setCapacity(end);
        } catch (const EStreamError &error) {
            setErrorString(error.message());
            return -1;
        }
    }
    if (start > m_size)
        std::memset(m_block + m_size, 0, size_t(start - m_size));
    std::memcpy(m_block + start, data, size_t(size));
    m_size = qMax(m_size, end);
    return size;
}
