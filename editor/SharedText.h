#pragma once
// An immutable text whose versions share their unchanged parts; owns its pieces jointly with
// every version derived from it.
//
// The undo history keeps the whole text of every step. Copying a large page at each keystroke
// would cost time and memory in proportion to the page; a SharedText makes a new version cost
// only the change: the text is a persistent treap of pieces that point into immutable buffers,
// and replaced() copies just the path to the changed pieces.

#include <QString>

#include <cstdint>
#include <utility>

namespace scrivlet {

namespace detail {

// Reference counting for single-threaded, immutable nodes: lighter than std::shared_ptr, which
// matters because each history step allocates a handful of nodes.
template<class T>
class Ref
{
public:
    Ref() = default;
    explicit Ref(T *raw) : m_p(raw)
    {
        if (m_p)
            ++m_p->refs;
    }
    Ref(const Ref &other) : m_p(other.m_p)
    {
        if (m_p)
            ++m_p->refs;
    }
    Ref(Ref &&other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    Ref &operator=(Ref other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~Ref()
    {
        if (m_p && --m_p->refs == 0)
            delete m_p;
    }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    T &operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T *m_p = nullptr;
};

} // namespace detail

class SharedText
{
public:
    SharedText();
    // Shares the string's storage; no copy is made.
    explicit SharedText(const QString &text);
    SharedText(const SharedText &other);
    SharedText(SharedText &&other) noexcept;
    SharedText &operator=(const SharedText &other);
    SharedText &operator=(SharedText &&other) noexcept;
    ~SharedText();

    qsizetype length() const;
    bool isEmpty() const { return length() == 0; }

    // The units from pos on, at most len of them; out-of-range parts are cut off.
    QString mid(qsizetype pos, qsizetype len) const;
    QString toString() const { return mid(0, length()); }
    char16_t at(qsizetype pos) const;

    // A new version with removeLength units at pos replaced by insert; this one stays as it was.
    SharedText replaced(qsizetype pos, qsizetype removeLength, const QString &insert) const;

    // How many units this text and other share at their start (commonPrefix) or at their end
    // (commonSuffix), counting at most limit. Versions of one text share their unchanged
    // subtrees and pieces, which are passed over whole: the cost follows the changes between
    // the two, not the length of the text.
    qsizetype commonPrefix(const SharedText &other, qsizetype limit) const;
    qsizetype commonSuffix(const SharedText &other, qsizetype limit) const;
    bool sameText(const SharedText &other) const
    {
        return length() == other.length() && commonPrefix(other, length()) == length();
    }

    // Number of pieces, for tests and benchmarks of the structure.
    qsizetype pieceCount() const;

    struct Chunk;
    struct Node;

private:
    SharedText(detail::Ref<const Node> root, detail::Ref<Chunk> append);
    detail::Ref<const Node> pieceFor(const QString &insert);

    detail::Ref<const Node> m_root;
    // Where the inserted text of this version and its descendants is appended.
    detail::Ref<Chunk> m_append;
};

} // namespace scrivlet
