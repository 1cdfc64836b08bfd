#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// Cuts a fuzzer's input into fields: each field but the last is a length byte (at most 31)
// followed by that many bytes; the last field is the rest.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }
    QByteArray field()
    {
        if (m_at >= m_bytes.size()) {
            return {};
        }
        const qsizetype length = static_cast<unsigned char>(m_bytes[m_at++]) & 0x1F;
        const QByteArray taken = m_bytes.mid(m_at, length);
        m_at += taken.size();
        return taken;
    }
    QByteArray rest() const { return m_bytes.mid(m_at); }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};
