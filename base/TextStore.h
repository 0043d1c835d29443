// TextStore: UTF-16 texts kept for as long as the store lives, packed one
// after another in large blocks, so that a list of many short names (a panel
// of a million files) costs their characters and no allocation per name.
//
// A kept text never moves: the views Keep returns stay valid until the store
// is cleared or destroyed, and moving the store (or adopting its blocks into
// another) keeps them valid too. Each kept text is followed by a nul, so its
// data() is also a C string. The empty text takes no room. Not thread-safe:
// one store per thread, joined with Adopt afterwards. Raises std::bad_alloc
// when memory runs out, as any container does.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace Base {

class TextStore {
public:
    TextStore() = default;
    TextStore(TextStore&&) noexcept = default;
    TextStore& operator=(TextStore&&) noexcept = default;
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // A copy of `text`, nul-terminated, for the life of the store.
    std::u16string_view Keep(std::u16string_view text)
    {
        if (text.empty())
            return {};
        const size_t needed = text.size() + 1;
        if (needed > Left) {
            // A new block; what was left of the last one stays unused (at most
            // one name's length in a block of thousands).
            const size_t size = std::max(BlockCharacters, needed);
            Blocks.push_back(std::make_unique<char16_t[]>(size));
            Free = Blocks.back().get();
            Left = size;
        }
        char16_t* kept = Free;
        std::copy(text.begin(), text.end(), kept);
        kept[text.size()] = u'\0';
        Free += needed;
        Left -= needed;
        return {kept, text.size()};
    }

    // Takes over every block of `other`; the views it gave stay valid.
    void Adopt(TextStore&& other)
    {
        Blocks.reserve(Blocks.size() + other.Blocks.size());
        for (std::unique_ptr<char16_t[]>& block : other.Blocks)
            Blocks.push_back(std::move(block));
        other.Clear();
    }

    // Forgets every text: the views given so far dangle.
    void Clear()
    {
        Blocks.clear();
        Free = nullptr;
        Left = 0;
    }

private:
    // 32 KiB a block: a small part of a large panel, little waste for a small one.
    static constexpr size_t BlockCharacters = 16384;

    std::vector<std::unique_ptr<char16_t[]>> Blocks;
    char16_t* Free = nullptr;
    size_t Left = 0;
};

} // namespace Base
