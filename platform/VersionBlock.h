#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Takes apart a version block: a tree of nodes, each a header (its length, the length of its
// value, its kind), a zero-terminated UTF-16 key, a value and child nodes, the value and each
// child starting on a 4-byte boundary of the block. The block comes from a file and is checked
// only along the path of each query, as Windows reads it: a malformed node hides itself and
// the siblings after it, nothing else. Nothing here reads outside the block, recurses or walks
// in place.
namespace VersionBlock {

// Length, value length and kind: the bytes every node starts with.
inline constexpr qsizetype HeaderSize = 6;

// Where the parts of one node lie in the block.
struct Node
{
    qsizetype start = 0;
    qsizetype end = 0;        // start plus the node's length
    quint16 type = 0;         // 1 for a text value, 0 for bytes
    QString key;
    qsizetype valueOffset = 0;
    qsizetype valueSize = 0;  // in bytes, cut off at the end of the node
    qsizetype childrenOffset = 0;

    bool isText() const { return type == 1; }
};

// Walks the children of one node in order.
class ChildWalker
{
public:
    ChildWalker(QByteArrayView block, const Node &parent);

    // The next child, or nothing after the last child or at a malformed one.
    std::optional<Node> next();

private:
    QByteArrayView m_block;
    qsizetype m_position;
    qsizetype m_end;
};

// The node at offset, which must end at or before limit; nothing when it does not fit or its
// key is not terminated inside it.
std::optional<Node> readNode(QByteArrayView block, qsizetype offset, qsizetype limit);

// The node a query path leads to: keys separated by backslashes, each matched in full and
// without regard to case against the children of the node before, the first match winning;
// "\" is the root itself.
std::optional<Node> find(QByteArrayView block, const QString &path);

// The text value of a node: its UTF-16 units up to the first zero unit or the end of the value.
QString text(QByteArrayView block, const Node &node);

} // namespace VersionBlock
