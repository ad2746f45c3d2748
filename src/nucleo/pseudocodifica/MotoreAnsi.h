#pragma once

// The substitution list run over a Windows-1252 text as it is, in bytes, with
// the very bytes that decoding the text, running the list (MotoreElenco) and
// encoding the result would give. Every token (a run of bytes between
// delimiters) is looked up once in a table of what the whole list turns it
// into; the delimiters and the case folding of each byte come from the
// character it stands for, by the rules the text engine uses.
//
// Only for lists of delimiter-free words, with no line break in a word or a
// replacement, whose every result has bytes in the code page, and with a
// code page whose every byte is encoded back to itself (Disponibile()).

#include <QByteArray>
#include <QByteArrayView>
#include <cstring>
#include <functional>
#include <memory>

class MotoreElenco;

// A result written piece by piece: gathered in a buffer of its own and handed
// to `scarica` a large piece at a time, so that no buffer the size of the
// whole result is needed. After a piece is refused nothing more is handed on.
class UscitaByte
{
public:
    explicit UscitaByte(std::function<bool(QByteArrayView)> scarica);
    ~UscitaByte();
    UscitaByte(const UscitaByte &) = delete;
    UscitaByte &operator=(const UscitaByte &) = delete;

    void Aggiungi(const char *da, qsizetype quanti)
    {
        if (quanti <= m_fine - m_p) {
            if (quanti > 0) std::memcpy(m_p, da, std::size_t(quanti));
            m_p += quanti;
        } else {
            AggiungiLungo(da, quanti);
        }
    }

    // Hands on what is left; false when any piece was refused.
    bool Fine();

private:
    void AggiungiLungo(const char *da, qsizetype quanti);
    void Scarica();

    std::function<bool(QByteArrayView)> m_scarica;
    std::unique_ptr<char[]> m_buffer;
    char *m_p = nullptr, *m_fine = nullptr;
    bool m_ok = true;
};

class MotoreAnsi
{
    struct Dati;

public:
    explicit MotoreAnsi(const MotoreElenco &motore);
    ~MotoreAnsi();
    MotoreAnsi(const MotoreAnsi &) = delete;
    MotoreAnsi &operator=(const MotoreAnsi &) = delete;

    // Whether the list can run on bytes with the exact result.
    bool Disponibile() const;

    // Writes to `uscita` the list's result for `testo` (Disponibile() being
    // true) with its line breaks first made as the editor holds them (each CR
    // or LF alone becomes CR LF); returns the number of replacements made.
    // Safe to call from several threads at once.
    qsizetype Applica(QByteArrayView testo, UscitaByte &uscita) const;

    // The same for a text that comes piece by piece: each piece is written
    // into Spazio() and announced with Scritti(); Fine() after the last one
    // returns the number of replacements. The result goes to `uscita` as soon
    // as it is certain.
    class APezzi
    {
    public:
        APezzi(const MotoreAnsi &motore, UscitaByte &uscita);
        ~APezzi();
        APezzi(const APezzi &) = delete;
        APezzi &operator=(const APezzi &) = delete;
        char *Spazio(qsizetype quanti);
        void Scritti(qsizetype quanti);
        qsizetype Fine();

    private:
        void Avanza(bool fine);

        const Dati &m_dati;
        UscitaByte &m_uscita;
        std::unique_ptr<char[]> m_buffer; // the bytes not worked on yet
        qsizetype m_capienza = 0, m_presenti = 0, m_conta = 0;
        quint64 m_cr = 0;
        // From the buffer's start on, the text is made as the editor holds it,
        // piece by piece, into m_fatti: the bytes made and not worked on yet.
        bool m_comeEditor = false;
        QByteArray m_fatti;
        quint64 m_crFatti = 0;
    };

private:
    std::unique_ptr<Dati> m_dati;
};
