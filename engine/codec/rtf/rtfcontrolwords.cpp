#include "engine/codec/rtf/rtfcontrolwords.h"

#include <array>
#include <iterator>
#include <string_view>

namespace engine {

namespace {

constexpr RtfControlWord kWords[] = {
#define ENGINE_RTF_WORD_ENTRY(id, name, kind) {name, RtfWordKind::kind, RtfWord::id},
    ENGINE_RTF_CONTROL_WORDS(ENGINE_RTF_WORD_ENTRY)
#undef ENGINE_RTF_WORD_ENTRY
};

constexpr bool isSortedByName()
{
    for (size_t i = 1; i < std::size(kWords); ++i) {
        if (!(kWords[i - 1].name < kWords[i].name))
            return false;
    }
    return true;
}
static_assert(isSortedByName(), "control words are kept sorted by name");

// The reader looks up every control word of a document, so the names are found through
// an open-addressed hash table (a binary search compares some nine names a word).
class WordTable {
public:
    WordTable()
    {
        for (const RtfControlWord &word : kWords) {
            size_t slot = hash(word.name) & kMask;
            while (m_slots[slot])
                slot = (slot + 1) & kMask;
            m_slots[slot] = &word;
        }
    }

    const RtfControlWord *find(std::string_view name) const
    {
        for (size_t slot = hash(name) & kMask; m_slots[slot]; slot = (slot + 1) & kMask) {
            if (m_slots[slot]->name == name)
                return m_slots[slot];
        }
        return nullptr;
    }

private:
    static constexpr size_t kSize = 2048;  // a power of two, several times the words
    static constexpr size_t kMask = kSize - 1;
    static_assert(std::size(kWords) * 3 < kSize);

    static size_t hash(std::string_view name)
    {
        quint32 value = 2166136261u;
        for (const char c : name)
            value = (value ^ quint8(c)) * 16777619u;
        return value ^ (value >> 15);
    }

    std::array<const RtfControlWord *, kSize> m_slots{};
};

}  // namespace

const RtfControlWord *findRtfControlWord(QByteArrayView name)
{
    static const WordTable table;
    return table.find(std::string_view(name.data(), size_t(name.size())));
}

}  // namespace engine
