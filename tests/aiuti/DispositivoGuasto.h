#pragma once

// A write path that runs out of room: installed in the atomic writer, it
// passes the bytes on to the file being written until `accettati` of them
// went through, then fails as a full disk does (ENOSPC). Negative: no limit.

#include "app/ScritturaAtomica.h"

#include <QIODevice>
#include <algorithm>
#include <cerrno>

class DispositivoGuasto : public QIODevice
{
public:
    DispositivoGuasto(QIODevice &file, qint64 accettati) : m_file(file), m_resto(accettati)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // Every following atomic write goes through a new DispositivoGuasto.
    struct Installa
    {
        explicit Installa(qint64 accettati)
        {
            ScritturaAtomica::ImpostaDispositivoPerProve([accettati](QIODevice &file) {
                return std::make_unique<DispositivoGuasto>(file, accettati);
            });
        }
        ~Installa() { ScritturaAtomica::ImpostaDispositivoPerProve({}); }
        Installa(const Installa &) = delete;
        Installa &operator=(const Installa &) = delete;
    };

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *dati, qint64 n) override
    {
        const qint64 passano = m_resto < 0 ? n : std::min(n, m_resto);
        if (passano > 0 && m_file.write(dati, passano) != passano) return -1;
        if (m_resto >= 0) m_resto -= passano;
        if (passano == n) return n;
        errno = ENOSPC;
        return -1;
    }

private:
    QIODevice &m_file;
    qint64 m_resto;
};
