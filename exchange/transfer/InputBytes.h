#pragma once

#include <QByteArray>

class QIODevice;

// The bytes of a file read a slice at a time, so that a file of any size is streamed, with
// the line and column of the next byte for messages.
class InputBytes
{
public:
    explicit InputBytes(QIODevice &device) : m_device(device) {}

    int get(); // the next byte, or -1 at the end
    int peek();
    qint64 line() const { return m_line; }
    qint64 column() const { return m_column; }
    // Takes a UTF-8 byte-order mark at the very start of the file.
    void skipByteOrderMark();

private:
    bool fill();

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_next = 0;
    qint64 m_line = 1;
    qint64 m_column = 1;
};
