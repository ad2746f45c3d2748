#include "PianoUscita.h"

#include <QHash>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <utility>

namespace PianoUscita {

namespace {

QByteArray NomeDi(const QByteArray &percorso)
{
    return percorso.mid(percorso.lastIndexOf('/') + 1);
}

QByteArray CartellaDi(const QByteArray &percorso)
{
    const qsizetype barra = percorso.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : barra == 0 ? QByteArray("/") : percorso.first(barra);
}

} // namespace

Esito Destinazioni(const QByteArray &cartella, const QList<QByteArray> &file,
                   const QList<QByteArray> &relativi)
{
    Esito esito;
    // The files to read, and their places (folder and name: a file still
    // missing may yet be named there).
    std::set<std::pair<dev_t, ino_t>> ingressi;
    std::set<std::tuple<dev_t, ino_t, QByteArray>> posti;
    for (const QByteArray &f : file) {
        struct stat stato;
        if (::stat(f.constData(), &stato) == 0) ingressi.insert({stato.st_dev, stato.st_ino});
        if (::stat(CartellaDi(f).constData(), &stato) == 0)
            posti.insert({stato.st_dev, stato.st_ino, NomeDi(f)});
    }
    const QByteArray base = cartella.endsWith('/') ? cartella : cartella + '/';
    QHash<QByteArray, qsizetype> nomi;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const QByteArray nome = i < relativi.size() ? relativi[i] : NomeDi(file[i]);
        const QByteArray destinazione = base + nome;
        // The folder the result lands in, when it is already there.
        struct stat stato, uscita;
        const bool cartellaEsiste = ::stat(CartellaDi(destinazione).constData(), &uscita) == 0;
        if ((::stat(destinazione.constData(), &stato) == 0 &&
             ingressi.count({stato.st_dev, stato.st_ino})) ||
            (cartellaEsiste && posti.count({uscita.st_dev, uscita.st_ino, NomeDi(nome)}))) {
            esito.rifiuto = Rifiuto{i, -1};
            return esito;
        }
        const auto gia = nomi.constFind(nome);
        if (gia != nomi.constEnd()) {
            esito.rifiuto = Rifiuto{i, gia.value()};
            return esito;
        }
        nomi.insert(nome, i);
        esito.destinazioni.append(destinazione);
    }
    return esito;
}

} // namespace PianoUscita
