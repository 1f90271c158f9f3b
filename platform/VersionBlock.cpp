#include "VersionBlock.h"

#include <QStringList>
#include <QtEndian>
#include <algorithm>

namespace {

qsizetype alignedTo4(qsizetype offset)
{
    return (offset + 3) & ~qsizetype(3);
}

quint16 unitAt(QByteArrayView block, qsizetype offset)
{
    return qFromLittleEndian<quint16>(block.data() + offset);
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
    if (m_position >= m_end)
        return std::nullopt;
    std::optional<Node> child = readNode(m_block, m_position, m_end);
    if (!child) {
        // Padding, trailing bytes or a broken node: whatever follows cannot be found.
        m_position = m_end;
        return std::nullopt;
    }
    m_position = alignedTo4(child->end); // a node is at least a header long: always forward
    return child;
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
