#include "editor/SharedText.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace scrivlet {

using detail::Ref;

// An immutable buffer that pieces point into. An append chunk grows at its end only, past every
// piece that already points into it, so that older versions never see a change.
struct SharedText::Chunk
{
    int refs = 0;
    QString shared; // a caller's string, kept as it is
    std::unique_ptr<char16_t[]> buffer;
    qsizetype used = 0;
    qsizetype capacity = 0;

    const char16_t *data() const
    {
        return buffer ? buffer.get() : reinterpret_cast<const char16_t *>(shared.constData());
    }
};

// A treap node: one piece of text, and the pieces before and after it. Nodes never change once
// made; a version differs from its parent by the nodes on the paths to its changes.
struct SharedText::Node
{
    mutable int refs = 0;
    std::uint32_t priority = 0;
    qsizetype length = 0; // of this piece
    qsizetype offset = 0; // into chunk
    qsizetype total = 0;  // of the whole subtree
    Ref<Chunk> chunk;
    Ref<const Node> left;
    Ref<const Node> right;
};

namespace {

using Node = SharedText::Node;
using Chunk = SharedText::Chunk;
using NodeRef = Ref<const Node>;

// Small inserts go into a shared append chunk of this many units; larger ones keep their own
// string.
constexpr qsizetype kAppendChunkUnits = 8192;

qsizetype totalOf(const NodeRef &n)
{
    return n ? n->total : 0;
}

std::uint32_t mixPriority(const void *address)
{
    // splitmix64 of the address: the treap needs priorities that look random, and a node's
    // address is a cheap source of them that needs no generator state.
    auto z = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(address));
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
}

NodeRef makeNode(NodeRef left, Ref<Chunk> chunk, qsizetype offset, qsizetype length, NodeRef right,
                 std::uint32_t priority)
{
    auto *n = new Node;
    n->priority = priority;
    n->length = length;
    n->offset = offset;
    n->total = totalOf(left) + length + totalOf(right);
    n->chunk = std::move(chunk);
    n->left = std::move(left);
    n->right = std::move(right);
    return NodeRef(n);
}

NodeRef makeLeaf(Ref<Chunk> chunk, qsizetype offset, qsizetype length)
{
    NodeRef n = makeNode({}, std::move(chunk), offset, length, {}, 0);
    const_cast<Node *>(n.get())->priority = mixPriority(n.get());
    return n;
}

NodeRef withChildren(const Node &n, NodeRef left, NodeRef right)
{
    return makeNode(std::move(left), n.chunk, n.offset, n.length, std::move(right), n.priority);
}

NodeRef merge(const NodeRef &a, const NodeRef &b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    if (a->priority >= b->priority)
        return withChildren(*a, a->left, merge(a->right, b));
    return withChildren(*b, merge(a, b->left), b->right);
}

// Splits at pos, which must fall between two pieces.
std::pair<NodeRef, NodeRef> split(const NodeRef &n, qsizetype pos)
{
    if (!n)
        return {};
    const qsizetype lt = totalOf(n->left);
    if (pos <= lt) {
        auto [a, b] = split(n->left, pos);
        return {std::move(a), withChildren(*n, std::move(b), n->right)};
    }
    auto [a, b] = split(n->right, pos - lt - n->length);
    return {withChildren(*n, n->left, std::move(a)), std::move(b)};
}

// Inserts a leaf at pos, which must fall between two pieces.
NodeRef insertLeaf(const NodeRef &n, qsizetype pos, const NodeRef &leaf)
{
    if (!n)
        return leaf;
    if (leaf->priority > n->priority) {
        auto [a, b] = split(n, pos);
        return withChildren(*leaf, std::move(a), std::move(b));
    }
    const qsizetype lt = totalOf(n->left);
    if (pos <= lt)
        return withChildren(*n, insertLeaf(n->left, pos, leaf), n->right);
    return withChildren(*n, n->left, insertLeaf(n->right, pos - lt - n->length, leaf));
}

// The node holding unit index, and the index of that node's first unit.
std::pair<const Node *, qsizetype> locate(const NodeRef &root, qsizetype index)
{
    const Node *n = root.get();
    qsizetype base = 0;
    while (n) {
        const qsizetype lt = totalOf(n->left);
        if (index < base + lt) {
            n = n->left.get();
        } else if (index < base + lt + n->length) {
            return {n, base + lt};
        } else {
            base += lt + n->length;
            n = n->right.get();
        }
    }
    return {nullptr, 0};
}

// A copy of the path to the piece holding unit index, with that piece's range changed.
NodeRef reshapePiece(const NodeRef &n, qsizetype index, qsizetype offsetDelta,
                     qsizetype lengthDelta)
{
    const qsizetype lt = totalOf(n->left);
    if (index < lt)
        return withChildren(*n, reshapePiece(n->left, index, offsetDelta, lengthDelta), n->right);
    if (index < lt + n->length)
        return makeNode(n->left, n->chunk, n->offset + offsetDelta, n->length + lengthDelta,
                        n->right, n->priority);
    return withChildren(*n, n->left,
                        reshapePiece(n->right, index - lt - n->length, offsetDelta, lengthDelta));
}

// Makes pos fall between two pieces, cutting the piece it falls into in two.
NodeRef cutAt(const NodeRef &root, qsizetype pos)
{
    if (pos <= 0 || pos >= totalOf(root))
        return root;
    const auto [node, start] = locate(root, pos);
    if (!node || start == pos)
        return root;
    const qsizetype head = pos - start;
    NodeRef tail = makeLeaf(node->chunk, node->offset + head, node->length - head);
    NodeRef shortened = reshapePiece(root, pos, 0, head - node->length);
    return insertLeaf(shortened, pos, tail);
}

void collect(const Node *n, qsizetype from, qsizetype to, qsizetype base, QString &out)
{
    while (n && from < to && to > base && from < base + n->total) {
        const qsizetype lt = totalOf(n->left);
        collect(n->left.get(), from, to, base, out);
        const qsizetype start = base + lt;
        const qsizetype end = start + n->length;
        const qsizetype a = std::max(from, start);
        const qsizetype b = std::min(to, end);
        if (a < b)
            out.append(reinterpret_cast<const QChar *>(n->chunk->data() + n->offset + (a - start)),
                       b - a);
        // The right subtree in the loop rather than by recursion keeps the stack shallow.
        base = end;
        n = n->right.get();
    }
}

qsizetype countNodes(const Node *n)
{
    qsizetype count = 0;
    while (n) {
        count += 1 + countNodes(n->left.get());
        n = n->right.get();
    }
    return count;
}

// Walks a text's pieces from one end, keeping the subtrees not yet entered whole so that a
// subtree shared with another text can be stepped over without reading it.
class EndCursor
{
public:
    EndCursor(const Node *root, bool fromEnd) : m_fromEnd(fromEnd)
    {
        if (root)
            m_items.push_back({root, nullptr, 0});
    }

    struct Item
    {
        const Node *subtree; // not yet entered; null for a piece
        const char16_t *data;
        qsizetype length;
    };

    bool atEnd() const { return m_items.empty(); }
    Item &top() { return m_items.back(); }
    void pop() { m_items.pop_back(); }

    // Replaces the subtree on top by its left part, its piece and its right part, the nearer
    // end on top.
    void enter()
    {
        const Node *n = m_items.back().subtree;
        m_items.pop_back();
        const Node *nearFirst = m_fromEnd ? n->left.get() : n->right.get();
        const Node *nearLast = m_fromEnd ? n->right.get() : n->left.get();
        if (nearFirst)
            m_items.push_back({nearFirst, nullptr, 0});
        if (n->length > 0)
            m_items.push_back({nullptr, n->chunk->data() + n->offset, n->length});
        if (nearLast)
            m_items.push_back({nearLast, nullptr, 0});
    }

    // The unit of the piece on top that is i units in from this cursor's end.
    char16_t unit(qsizetype i) const
    {
        const Item &item = m_items.back();
        return m_fromEnd ? item.data[item.length - 1 - i] : item.data[i];
    }
    // Where the piece on top begins, seen from this cursor's end: two pieces that begin at the
    // same unit of the same buffer hold the same units.
    const char16_t *edge() const
    {
        const Item &item = m_items.back();
        return m_fromEnd ? item.data + item.length : item.data;
    }
    void consume(qsizetype n)
    {
        Item &item = m_items.back();
        if (!m_fromEnd)
            item.data += n;
        item.length -= n;
        if (item.length == 0)
            m_items.pop_back();
    }

private:
    bool m_fromEnd;
    std::vector<Item> m_items;
};

qsizetype commonEnd(const Node *a, const Node *b, qsizetype limit, bool fromEnd)
{
    EndCursor x(a, fromEnd);
    EndCursor y(b, fromEnd);
    qsizetype common = 0;
    while (common < limit && !x.atEnd() && !y.atEnd()) {
        const Node *sx = x.top().subtree;
        const Node *sy = y.top().subtree;
        if (sx && sx == sy && sx->total <= limit - common) {
            common += sx->total;
            x.pop();
            y.pop();
        } else if (sx && (!sy || sx->total >= sy->total)) {
            x.enter();
        } else if (sy) {
            y.enter();
        } else {
            const qsizetype n = std::min({x.top().length, y.top().length, limit - common});
            qsizetype same = 0;
            if (x.edge() == y.edge())
                same = n;
            else
                while (same < n && x.unit(same) == y.unit(same))
                    ++same;
            common += same;
            x.consume(same);
            y.consume(same);
            if (same < n)
                break;
        }
    }
    return common;
}

} // namespace

SharedText::SharedText() = default;
SharedText::SharedText(const SharedText &other) = default;
SharedText::SharedText(SharedText &&other) noexcept = default;
SharedText &SharedText::operator=(const SharedText &other) = default;
SharedText &SharedText::operator=(SharedText &&other) noexcept = default;
SharedText::~SharedText() = default;

SharedText::SharedText(const QString &text)
{
    if (text.isEmpty())
        return;
    Ref<Chunk> chunk(new Chunk);
    chunk->shared = text;
    chunk->used = chunk->capacity = text.size();
    m_root = makeLeaf(std::move(chunk), 0, text.size());
}

SharedText::SharedText(Ref<const Node> root, Ref<Chunk> append)
    : m_root(std::move(root)), m_append(std::move(append))
{}

qsizetype SharedText::length() const
{
    return totalOf(m_root);
}

QString SharedText::mid(qsizetype pos, qsizetype len) const
{
    const qsizetype total = length();
    pos = std::clamp<qsizetype>(pos, 0, total);
    len = std::clamp<qsizetype>(len, 0, total - pos);
    QString out;
    if (len == 0)
        return out;
    out.reserve(len);
    collect(m_root.get(), pos, pos + len, 0, out);
    return out;
}

char16_t SharedText::at(qsizetype pos) const
{
    const auto [node, start] = locate(m_root, pos);
    return node ? node->chunk->data()[node->offset + (pos - start)] : u'\0';
}

qsizetype SharedText::commonPrefix(const SharedText &other, qsizetype limit) const
{
    return commonEnd(m_root.get(), other.m_root.get(), limit, false);
}

qsizetype SharedText::commonSuffix(const SharedText &other, qsizetype limit) const
{
    return commonEnd(m_root.get(), other.m_root.get(), limit, true);
}

qsizetype SharedText::pieceCount() const
{
    return countNodes(m_root.get());
}

Ref<const SharedText::Node> SharedText::pieceFor(const QString &insert)
{
    if (insert.size() > kAppendChunkUnits / 2) {
        Ref<Chunk> own(new Chunk);
        own->shared = insert;
        own->used = own->capacity = insert.size();
        return makeLeaf(std::move(own), 0, insert.size());
    }
    Chunk *chunk = m_append.get();
    if (!chunk || chunk->capacity - chunk->used < insert.size()) {
        // A fresh chunk; the old one stays alive as long as pieces point into it.
        auto *fresh = new Chunk;
        fresh->buffer = std::make_unique<char16_t[]>(kAppendChunkUnits);
        fresh->capacity = kAppendChunkUnits;
        m_append = Ref<Chunk>(fresh);
        chunk = fresh;
    }
    std::copy_n(reinterpret_cast<const char16_t *>(insert.constData()), insert.size(),
                chunk->buffer.get() + chunk->used);
    const qsizetype offset = chunk->used;
    chunk->used += insert.size();
    return makeLeaf(m_append, offset, insert.size());
}

SharedText SharedText::replaced(qsizetype pos, qsizetype removeLength, const QString &insert) const
{
    const qsizetype total = length();
    pos = std::clamp<qsizetype>(pos, 0, total);
    removeLength = std::clamp<qsizetype>(removeLength, 0, total - pos);
    if (removeLength == 0 && insert.isEmpty())
        return *this;

    // Typing goes on where the last typed text ended: grow that piece in place of a new one.
    if (removeLength == 0 && pos > 0 && m_append) {
        const auto [node, start] = locate(m_root, pos - 1);
        Chunk *chunk = m_append.get();
        if (node && node->chunk.get() == chunk && start + node->length == pos &&
            node->offset + node->length == chunk->used &&
            chunk->capacity - chunk->used >= insert.size()) {
            std::copy_n(reinterpret_cast<const char16_t *>(insert.constData()), insert.size(),
                        chunk->buffer.get() + chunk->used);
            chunk->used += insert.size();
            return SharedText(reshapePiece(m_root, pos - 1, 0, insert.size()), m_append);
        }
    }

    // Backspace and Delete usually take units off the end or the start of one piece.
    if (removeLength > 0 && insert.isEmpty()) {
        const auto [node, start] = locate(m_root, pos);
        if (node && removeLength < node->length) {
            if (start + node->length == pos + removeLength)
                return SharedText(reshapePiece(m_root, pos, 0, -removeLength), m_append);
            if (start == pos)
                return SharedText(reshapePiece(m_root, pos, removeLength, -removeLength), m_append);
        }
    }

    NodeRef root = cutAt(m_root, pos);
    if (removeLength > 0) {
        root = cutAt(root, pos + removeLength);
        auto [before, rest] = split(root, pos);
        auto [removed, after] = split(rest, removeLength);
        root = merge(before, after);
    }
    SharedText result(std::move(root), m_append);
    if (!insert.isEmpty()) {
        NodeRef leaf = result.pieceFor(insert);
        result.m_root = insertLeaf(result.m_root, pos, leaf);
    }
    return result;
}

} // namespace scrivlet
