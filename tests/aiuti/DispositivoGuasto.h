#pragma once

// A write path that runs out of room: handed to a write in its channel, it
// passes the bytes on to the file being written until `accettati` of them
// went through, then fails as a full disk does (ENOSPC), or ends the process
// there as a kill would (Guasto::Termina). Negative: no limit.

#include "nucleo/testo/ScritturaAtomica.h"

#include <QIODevice>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

class DispositivoGuasto : public QIODevice
{
public:
    enum class Guasto { SpazioEsaurito, Termina };
    // The exit status of a process ended by Guasto::Termina.
    static constexpr int CodiceTermina = 86;

    DispositivoGuasto(QIODevice &file, qint64 accettati, Guasto guasto = Guasto::SpazioEsaurito)
        : m_file(file), m_resto(accettati), m_guasto(guasto)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // A channel whose every write goes through a new DispositivoGuasto.
    static ScritturaAtomica::Canale Canale(qint64 accettati, Guasto guasto = Guasto::SpazioEsaurito)
    {
        ScritturaAtomica::Canale canale;
        canale.dispositivo = [accettati, guasto](QIODevice &file) {
            return std::make_unique<DispositivoGuasto>(file, accettati, guasto);
        };
        return canale;
    }

    // A channel where flushing a written file to the disk fails with
    // `numeroErrno` (a delayed write error) after every byte was accepted.
    static ScritturaAtomica::Canale SincronizzazioneGuasta(int numeroErrno = EIO)
    {
        ScritturaAtomica::Canale canale;
        canale.sincronizza = [numeroErrno](int) {
            errno = numeroErrno;
            return -1;
        };
        return canale;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *dati, qint64 n) override
    {
        const qint64 passano = m_resto < 0 ? n : std::min(n, m_resto);
        if (passano > 0 && m_file.write(dati, passano) != passano) return -1;
        if (m_resto >= 0) m_resto -= passano;
        if (passano == n) return n;
        if (m_guasto == Guasto::Termina) ::_exit(CodiceTermina);
        errno = ENOSPC;
        return -1;
    }

private:
    QIODevice &m_file;
    qint64 m_resto;
    Guasto m_guasto;
};
