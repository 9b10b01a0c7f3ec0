#include "engine/codec/rtf/rtfcontrolwords.h"

#include <algorithm>
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
static_assert(isSortedByName(), "control words must be sorted by name for binary search");

}  // namespace

const RtfControlWord *findRtfControlWord(QByteArrayView name)
{
    const std::string_view key(name.data(), size_t(name.size()));
    const auto *it = std::lower_bound(std::begin(kWords), std::end(kWords), key,
                                      [](const RtfControlWord &word, std::string_view k) { return word.name < k; });
    if (it == std::end(kWords) || it->name != key)
        return nullptr;
    return it;
}

}  // namespace engine
