#include "VersionBlock.h"

#include <QStringList>
#include <QtEndian>
#include <algorithm>

namespace {

constexpr qsizetype HeaderSize = 6;
// Real blocks are four levels deep; anything much deeper is not a version block.
constexpr int MaxDepth = 16;

qsizetype alignedTo4(qsizetype offset)
{
    return (offset + 3) & ~qsizetype(3);
}

quint16 unitAt(QByteArrayView block, qsizetype offset)
{
    return qFromLittleEndian<quint16>(block.data() + offset);
}

bool isZeroFilled(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == 0; });
}

bool childrenWellFormed(QByteArrayView block, const VersionBlock::Node &node, int depth)
{
    if (depth > MaxDepth)
        return false;
    VersionBlock::ChildWalker walker(block, node);
    while (const std::optional<VersionBlock::Node> child = walker.next()) {
        if (!childrenWellFormed(block, *child, depth + 1))
            return false;
    }
    return !walker.failed();
}

} // namespace

namespace VersionBlock {

std::optional<Node> readNode(QByteArrayView block, qsizetype offset, qsizetype limit)
{
    if (offset < 0 || limit > block.size() || offset > limit - HeaderSize)
        return std::nullopt;
    const quint16 length = unitAt(block, offset);
    const quint16 valueLength = unitAt(block, offset + 2);
    Node node;
    node.type = unitAt(block, offset + 4);
    if (length < HeaderSize || length > limit - offset)
        return std::nullopt;
    node.start = offset;
    node.end = offset + length;

    qsizetype position = offset + HeaderSize;
    for (;; position += 2) {
        if (position + 2 > node.end)
            return std::nullopt; // the key runs past the node
        const quint16 unit = unitAt(block, position);
        if (unit == 0)
            break;
        node.key.append(QChar(unit));
    }
    node.valueOffset = std::min(alignedTo4(position + 2), node.end);
    const qsizetype valueBytes = node.isText() ? 2 * qsizetype(valueLength) : qsizetype(valueLength);
    // Some tools count a text value in bytes rather than in units: the value is cut off at
    // the end of its node, as Windows does, rather than refused.
    node.valueSize = std::min(valueBytes, node.end - node.valueOffset);
    node.childrenOffset = std::min(alignedTo4(node.valueOffset + node.valueSize), node.end);
    return node;
}

ChildWalker::ChildWalker(QByteArrayView block, const Node &parent)
    : m_block(block), m_position(parent.childrenOffset), m_end(parent.end)
{
}

std::optional<Node> ChildWalker::next()
{
    if (m_failed || m_position >= m_end)
        return std::nullopt;
    std::optional<Node> child = readNode(m_block, m_position, m_end);
    if (!child) {
        // Zeros up to the end of the parent are padding, not a node of length zero.
        m_failed = !isZeroFilled(m_block.sliced(m_position, m_end - m_position));
        m_position = m_end;
        return std::nullopt;
    }
    m_position = alignedTo4(child->end); // a node is at least a header long: always forward
    return child;
}

bool isWellFormed(QByteArrayView block)
{
    const std::optional<Node> root = readNode(block, 0, block.size());
    return root && root->key == QLatin1String("VS_VERSION_INFO") && childrenWellFormed(block, *root, 1);
}

std::optional<Node> find(QByteArrayView block, const QString &path)
{
    std::optional<Node> node = readNode(block, 0, block.size());
    const QStringList keys = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString &key : keys) {
        if (!node)
            break;
        ChildWalker walker(block, *node);
        node.reset();
        while (std::optional<Node> child = walker.next()) {
            if (child->key.compare(key, Qt::CaseInsensitive) == 0) {
                node = std::move(child);
                break;
            }
        }
    }
    return node;
}

QString text(QByteArrayView block, const Node &node)
{
    QString result;
    const qsizetype units = node.valueSize / 2; // a stray odd byte at the end is no unit
    result.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const quint16 unit = unitAt(block, node.valueOffset + 2 * i);
        if (unit == 0)
            break;
        result.append(QChar(unit));
    }
    return result;
}

} // namespace VersionBlock
