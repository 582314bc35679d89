#pragma once
// The frontier of a growth run over a compact grid: cell indexes with the same entry order and the same
// removal (the last entry copied over the removed one) as the document's frontier. Its entries are kept
// in blocks, so that growing never copies it: a copy would hold the old and the new array at once, at
// the frontier's largest.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CompactFrontier {
public:
    static constexpr int kBlockBits = 14;
    static constexpr std::size_t kBlockSize = std::size_t(1) << kBlockBits;

    std::size_t Size() const { return m_size; }
    // n at most Room().
    void Resize(std::size_t n) { m_size = n; }
    // Entries the blocks hold.
    std::size_t Room() const { return m_table.size() * kBlockSize; }
    // Room for n more entries. Throws std::bad_alloc.
    void Reserve(std::size_t n)
    {
        while (m_size + n > Room()) {
            std::unique_ptr<std::uint32_t[]> block(new std::uint32_t[kBlockSize]);
            m_table.reserve(m_table.size() + 1);
            m_blocks.push_back(std::move(block));
            m_table.push_back(m_blocks.back().get());
        }
    }
    // The blocks: entry i is Blocks()[i >> kBlockBits][i % kBlockSize]. Reserve may move the table.
    std::uint32_t* const* Blocks() const { return m_table.data(); }
    std::uint32_t& operator[](std::size_t i) { return m_table[i >> kBlockBits][i & (kBlockSize - 1)]; }

private:
    std::vector<std::unique_ptr<std::uint32_t[]>> m_blocks;
    std::vector<std::uint32_t*> m_table;
    std::size_t m_size = 0;
};
