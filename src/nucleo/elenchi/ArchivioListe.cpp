#include "ArchivioListe.h"

#include "nucleo/testo/FileRegolare.h"
#include "nucleo/elenchi/FormatoElenco.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Records are read this many at a time, so that a huge file is never held whole.
constexpr qint64 RecordPerLettura = 8192;

} // namespace

ArchivioListe::ArchivioListe(QString cartella, QString nomeSostituzioni, QString nomeEliminazioni)
    : m_cartella(std::move(cartella)), m_nomeSostituzioni(std::move(nomeSostituzioni)),
      m_nomeEliminazioni(std::move(nomeEliminazioni))
{
}

QString ArchivioListe::Percorso(Elenco elenco) const
{
    return QDir(m_cartella)
        .filePath(elenco == Elenco::Sostituzioni ? m_nomeSostituzioni : m_nomeEliminazioni);
}

bool ArchivioListe::Illeggibile(Elenco elenco, const ErroreFile &causa, ErroreFile *errore)
{
    const int i = Indice(elenco);
    m_file[i].close();
    m_stato[i] = StatoElenco::Illeggibile;
    m_errore[i] = causa;
    if (errore) *errore = causa;
    return false;
}

bool ArchivioListe::Apri(Elenco elenco, ErroreFile *errore)
{
    const int i = Indice(elenco);
    QFile &file = m_file[i];
    if (file.isOpen()) file.close();
    m_stato[i] = StatoElenco::Chiuso;
    m_errore[i] = {};
    const QString percorso = Percorso(elenco);
    file.setFileName(percorso);

    // Only regular files of bounded size are lists: a pipe or a device would
    // block the program or never end.
    const bool esiste = QFileInfo::exists(percorso);
    // The descriptor handed to the QFile, which then closes it.
    const auto usa = [&file](int fd, QIODevice::OpenMode modo, ErroreFile &e) {
        if (fd < 0) return false;
        if (file.open(fd, modo, QFileDevice::AutoCloseHandle)) return true;
        ::close(fd);
        e = ErroreFile::DaErrno(EBADF);
        return false;
    };
    ErroreFile scrittura;
    int fd = FileRegolare::Apri(percorso, O_RDWR | (esiste ? 0 : O_CREAT), DimensioneMassimaElenco,
                                &scrittura);
    if (usa(fd, QIODevice::ReadWrite, scrittura)) {
        m_stato[i] = StatoElenco::Scrivibile;
        return true;
    }
    if (FileRegolare::Rifiutato(scrittura)) return Illeggibile(elenco, scrittura, errore);
    if (!esiste) {
        m_errore[i] = scrittura;
        if (errore) *errore = scrittura;
        return false;
    }
    ErroreFile lettura;
    fd = FileRegolare::Apri(percorso, O_RDONLY, DimensioneMassimaElenco, &lettura);
    if (usa(fd, QIODevice::ReadOnly, lettura)) {
        m_stato[i] = StatoElenco::SolaLettura;
        m_errore[i] = scrittura;
        return true;
    }
    return Illeggibile(elenco, lettura, errore);
}

QString ArchivioListe::DifettiRecord(Elenco elenco)
{
    qint64 letti = 0, primoIlleggibile = 0;
    Scorri(
        elenco,
        [&](QByteArrayView record) {
            ++letti;
            if (FormatoElenco::RecordLeggibile(record)) return true;
            primoIlleggibile = letti;
            return false;
        },
        nullptr);
    return FormatoElenco::DescriviDifetti(primoIlleggibile, Lunghezza(elenco) % Record::Lunghezza);
}

qint64 ArchivioListe::Lunghezza(Elenco elenco) const
{
    const QFile &file = m_file[Indice(elenco)];
    return file.isOpen() ? file.size() : 0;
}

bool ArchivioListe::Scorri(Elenco elenco, const std::function<bool(QByteArrayView)> &perRecord,
                           ErroreFile *errore)
{
    const int i = Indice(elenco);
    QFile &file = m_file[i];
    if (m_stato[i] == StatoElenco::Illeggibile) {
        if (errore) *errore = m_errore[i];
        return false;
    }
    if (!file.isOpen()) {
        if (errore) *errore = {EBADF, QStringLiteral("Il file dell'elenco non è aperto")};
        return false;
    }
    errno = 0;
    if (!file.seek(0)) return Illeggibile(elenco, ErroreFile::DaErrno(errno), errore);

    QByteArray blocco(RecordPerLettura * Record::Lunghezza, Qt::Uninitialized);
    qint64 pieni = 0, totale = 0;
    for (;;) {
        errno = 0;
        const qint64 letti = file.read(blocco.data() + pieni, blocco.size() - pieni);
        if (letti < 0) return Illeggibile(elenco, ErroreFile::DaErrno(errno), errore);
        // A file that grew past the limit since it was opened is refused as it
        // would have been then.
        totale += letti;
        if (totale > DimensioneMassimaElenco)
            return Illeggibile(elenco, FileRegolare::TroppoGrande(DimensioneMassimaElenco), errore);
        pieni += letti;
        const bool fine = letti == 0;
        if (fine && pieni % Record::Lunghezza != 0) {
            // A part-record at the end: read it as a whole record padded with zeros.
            const qint64 completo = (pieni / Record::Lunghezza + 1) * Record::Lunghezza;
            std::fill(blocco.data() + pieni, blocco.data() + completo, '\0');
            pieni = completo;
        }
        const qint64 interi = pieni / Record::Lunghezza * Record::Lunghezza;
        if (fine || pieni == blocco.size()) {
            for (qint64 pos = 0; pos < interi; pos += Record::Lunghezza)
                if (!perRecord(QByteArrayView(blocco).sliced(pos, Record::Lunghezza))) return true;
            std::copy(blocco.data() + interi, blocco.data() + pieni, blocco.data());
            pieni -= interi;
        }
        if (fine) break;
    }
    return true;
}

template <typename Voce> QVector<Voce> ArchivioListe::LeggiRighe(Elenco elenco, ErroreFile *errore)
{
    QVector<Voce> voci;
    voci.reserve(Lunghezza(elenco) / Record::Lunghezza + 1);
    if (!Scorri(
            elenco,
            [&](QByteArrayView r) {
                voci.append(Record::Decodifica<Voce>(r));
                return true;
            },
            errore))
        return {};
    return voci;
}

QVector<VoceSostituzione> ArchivioListe::LeggiSostituzioni(ErroreFile *errore)
{
    return LeggiRighe<VoceSostituzione>(Elenco::Sostituzioni, errore);
}

QVector<VoceEliminazione> ArchivioListe::LeggiEliminazioni(ErroreFile *errore)
{
    return LeggiRighe<VoceEliminazione>(Elenco::Eliminazioni, errore);
}

int ArchivioListe::ContaSostituzioni(ErroreFile *errore)
{
    m_recordVoci.clear();
    qint64 numero = 0;
    const bool letto = Scorri(
        Elenco::Sostituzioni,
        [&](QByteArrayView r) {
            ++numero;
            if (!Record::SenzaParola(r)) m_recordVoci.append(numero);
            return true;
        },
        errore);
    if (!letto) m_recordVoci.clear();
    return int(m_recordVoci.size());
}

bool ArchivioListe::LeggiVoce(int k, VoceSostituzione &buffer)
{
    buffer = {};
    if (k < 1 || k > m_recordVoci.size()) return false;
    QFile &file = m_file[Indice(Elenco::Sostituzioni)];
    if (!file.isOpen() || !file.seek((m_recordVoci[k - 1] - 1) * Record::Lunghezza)) return false;
    QByteArray record = file.read(Record::Lunghezza);
    if (record.isEmpty()) return false;
    record.append(QByteArray(Record::Lunghezza - record.size(), '\0')); // a part-record
    buffer = Record::DecodificaSostituzione(record);
    return true;
}

template <typename Voce>
bool ArchivioListe::ContieneRighe(Elenco elenco, const QVector<Voce> &righe)
{
    const int i = Indice(elenco);
    if (m_stato[i] == StatoElenco::Illeggibile || !m_file[i].isOpen()) return false;
    if (Lunghezza(elenco) != righe.size() * qint64(Record::Lunghezza)) return false;
    if (Record::PrimaRigaNonContenibile(righe)) return false;
    qsizetype riga = 0;
    bool uguali = true;
    const bool letto = Scorri(
        elenco,
        [&](QByteArrayView r) {
            if (riga == righe.size()) return uguali = false;
            const QByteArray atteso = Record::Codifica(righe[riga++]);
            return uguali = r == QByteArrayView(atteso);
        },
        nullptr);
    return letto && uguali && riga == righe.size();
}

bool ArchivioListe::Contiene(const QVector<VoceSostituzione> &righe)
{
    return ContieneRighe(Elenco::Sostituzioni, righe);
}

bool ArchivioListe::Contiene(const QVector<VoceEliminazione> &righe)
{
    return ContieneRighe(Elenco::Eliminazioni, righe);
}

template <typename Voce>
bool ArchivioListe::SalvaRighe(Elenco elenco, const QVector<Voce> &righe, ErroreFile *errore)
{
    const int i = Indice(elenco);
    if (m_stato[i] == StatoElenco::SolaLettura || m_stato[i] == StatoElenco::Illeggibile) {
        if (errore) *errore = m_errore[i];
        return false;
    }
    // Cutting a row to fit would lose part of it without a word.
    QString motivo;
    if (const int riga = Record::PrimaRigaNonContenibile(righe, &motivo)) {
        if (errore)
            *errore = {
                EINVAL,
                QStringLiteral("La riga %1 non può essere memorizzata. %2").arg(riga).arg(motivo)};
        return false;
    }
    if (!ScritturaAtomica::Scrivi(Percorso(elenco), Record::Unisci(righe),
                                  ScritturaAtomica::Modo::SoloAtomica, errore))
        return false;
    // The open handle still points at the replaced file. The new file is in
    // place even when reopening it fails (Errore() then says why).
    Apri(elenco);
    return true;
}

bool ArchivioListe::Salva(const QVector<VoceSostituzione> &righe, ErroreFile *errore)
{
    if (!SalvaRighe(Elenco::Sostituzioni, righe, errore)) return false;
    ContaSostituzioni();
    return true;
}

bool ArchivioListe::Salva(const QVector<VoceEliminazione> &righe, ErroreFile *errore)
{
    return SalvaRighe(Elenco::Eliminazioni, righe, errore);
}
