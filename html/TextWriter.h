#pragma once
// Builds a converted text in one buffer sized in advance: the conversions run over whole
// documents of many megabytes, where growing a QString piece by piece costs more than the work.

#include <QString>
#include <QStringView>

#include <algorithm>

namespace scrivlet::html {

class TextWriter
{
public:
    // capacity must be at least the length of everything appended.
    explicit TextWriter(qsizetype capacity)
        : m_text(capacity, Qt::Uninitialized), m_begin(m_text.data()), m_end(m_begin)
    {}

    void append(QStringView piece) { m_end = std::copy(piece.begin(), piece.end(), m_end); }
    void append(QChar c) { *m_end++ = c; }

    // The written text. A buffer far larger than its text is given back to the allocator.
    QString take()
    {
        const qsizetype size = m_end - m_begin;
        const bool wasteful = m_text.size() - size > size / 4 + 64;
        m_text.truncate(size);
        if (wasteful)
            m_text.squeeze();
        return std::move(m_text);
    }

private:
    QString m_text;
    QChar *m_begin;
    QChar *m_end;
};

} // namespace scrivlet::html
