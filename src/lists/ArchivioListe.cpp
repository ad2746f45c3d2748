#include "ArchivioListe.h"

#include "app/ScritturaAtomica.h"

#include <QDir>
#include <QSaveFile>
#include <cerrno>

namespace {

void Imposta(ErroreFile *errore, int numeroErrno)
{
    if (errore) *errore = ErroreFile::DaErrno(numeroErrno);
}

template <typename Voce, typename Decodifica>
QVector<Voce> DividiRecord(const QByteArray &dati, Decodifica decodifica)
{
    QVector<Voce> voci;
    const qsizetype n = dati.size() / Record::Lunghezza;
    voci.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        voci.append(
            decodifica(QByteArrayView(dati).sliced(i * Record::Lunghezza, Record::Lunghezza)));
    return voci;
}

template <typename Voce> QByteArray UnisciRecord(const QVector<Voce> &righe)
{
    QByteArray dati;
    dati.reserve(righe.size() * Record::Lunghezza);
    for (const Voce &voce : righe)
        dati.append(Record::Codifica(voce));
    return dati;
}

} // namespace

ArchivioListe::ArchivioListe(QString cartella) : m_cartella(std::move(cartella)) {}

QString ArchivioListe::Percorso(Elenco elenco) const
{
    return QDir(m_cartella)
        .filePath(elenco == Elenco::Sostituzioni ? QStringLiteral("sostituzioni.dat")
                                                 : QStringLiteral("pulizia.dat"));
}

bool ArchivioListe::Apri(Elenco elenco, ErroreFile *errore)
{
    QFile &file = m_file[Indice(elenco)];
    if (file.isOpen()) file.close();
    file.setFileName(Percorso(elenco));
    errno = 0;
    if (!file.open(QIODevice::ReadWrite)) {
        Imposta(errore, errno);
        return false;
    }
    return true;
}

void ArchivioListe::Chiudi()
{
    for (QFile &file : m_file)
        file.close();
}

qint64 ArchivioListe::Lunghezza(Elenco elenco) const
{
    const QFile &file = m_file[Indice(elenco)];
    return file.isOpen() ? file.size() : 0;
}

QByteArray ArchivioListe::LeggiTutto(Elenco elenco)
{
    QFile &file = m_file[Indice(elenco)];
    if (!file.isOpen() || !file.seek(0)) return {};
    return file.readAll();
}

QVector<VoceSostituzione> ArchivioListe::LeggiSostituzioni()
{
    return DividiRecord<VoceSostituzione>(LeggiTutto(Elenco::Sostituzioni),
                                          &Record::DecodificaSostituzione);
}

QVector<VoceEliminazione> ArchivioListe::LeggiEliminazioni()
{
    return DividiRecord<VoceEliminazione>(LeggiTutto(Elenco::Eliminazioni),
                                          &Record::DecodificaEliminazione);
}

int ArchivioListe::ContaSostituzioni()
{
    m_recordVoci.clear();
    const QVector<VoceSostituzione> voci = LeggiSostituzioni();
    for (qsizetype i = 0; i < voci.size(); ++i)
        if (!voci[i].Trova.isEmpty()) m_recordVoci.append(i + 1);
    return int(m_recordVoci.size());
}

bool ArchivioListe::LeggiVoce(int k, VoceSostituzione &buffer)
{
    buffer = {};
    if (k < 1 || k > m_recordVoci.size()) return false;
    QFile &file = m_file[Indice(Elenco::Sostituzioni)];
    if (!file.isOpen() || !file.seek((m_recordVoci[k - 1] - 1) * Record::Lunghezza)) return false;
    const QByteArray record = file.read(Record::Lunghezza);
    if (record.size() != Record::Lunghezza) return false;
    buffer = Record::DecodificaSostituzione(record);
    return true;
}

bool ArchivioListe::Scrivi(Elenco elenco, const QByteArray &contenuto, ErroreFile *errore)
{
    if (!ScritturaAtomica::Scrivi(Percorso(elenco), contenuto, ScritturaAtomica::Modo::SoloAtomica,
                                  errore))
        return false;
    // The open handle still points at the replaced file: open the new one.
    return Apri(elenco, errore);
}

bool ArchivioListe::Salva(const QVector<VoceSostituzione> &righe, ErroreFile *errore)
{
    if (!Scrivi(Elenco::Sostituzioni, UnisciRecord(righe), errore)) return false;
    ContaSostituzioni();
    return true;
}

bool ArchivioListe::Salva(const QVector<VoceEliminazione> &righe, ErroreFile *errore)
{
    return Scrivi(Elenco::Eliminazioni, UnisciRecord(righe), errore);
}
