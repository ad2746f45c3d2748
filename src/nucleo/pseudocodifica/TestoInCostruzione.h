#pragma once

// A text written piece by piece into one buffer, grown when needed: the
// engines write their result this way instead of appending to a QString,
// which would check its sharing at every append.

#include "nucleo/testo/PagineGrandi.h"

#include <QString>
#include <algorithm>
#include <cstring>

class TestoInCostruzione
{
public:
    explicit TestoInCostruzione(qsizetype capienza) : m_testo(capienza, Qt::Uninitialized)
    {
        m_p = reinterpret_cast<char16_t *>(m_testo.data());
        PagineGrandi(m_p, std::size_t(capienza) * 2);
    }
    void Aggiungi(const char16_t *da, qsizetype quanti)
    {
        if (m_lunghezza + quanti > m_testo.size()) {
            m_testo.resize(std::max(m_testo.size() + m_testo.size() / 2, m_lunghezza + quanti));
            m_p = reinterpret_cast<char16_t *>(m_testo.data());
        }
        std::memcpy(m_p + m_lunghezza, da, std::size_t(quanti) * sizeof(char16_t));
        m_lunghezza += quanti;
    }
    void Aggiungi(const QChar *da, qsizetype quanti)
    {
        Aggiungi(reinterpret_cast<const char16_t *>(da), quanti);
    }
    QString Fine()
    {
        m_testo.truncate(m_lunghezza);
        return std::move(m_testo);
    }

private:
    QString m_testo;
    char16_t *m_p = nullptr;
    qsizetype m_lunghezza = 0;
};
