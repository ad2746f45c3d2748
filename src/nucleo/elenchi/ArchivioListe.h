#pragma once

#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/testo/ErroreFile.h"

#include <QFile>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

// The largest list file taken: 4 M records, well above the largest lists in
// use (2.4 M rows, 307 MB). A larger file, or one that is not a regular file,
// is refused as unreadable rather than filling the memory.
constexpr qint64 DimensioneMassimaElenco = qint64(512) << 20;

enum class Elenco { Sostituzioni = 0, Eliminazioni = 1 };

// How far a list file can be used. A list that could not be read is never
// saved, so that its file is not overwritten with rows that were never in it.
enum class StatoElenco {
    Chiuso,      // not opened, or it could not be created
    Scrivibile,  // read and written
    SolaLettura, // read only: saving reports why it cannot be written
    Illeggibile, // it could not be opened or read: its rows are unknown
};

// The two list files, "sostituzioni.dat" and "pulizia.dat", each a sequence of
// 128-byte records. Both stay open from start-up to the end of the program.
// `nomeSostituzioni` and `nomeEliminazioni` name other files in the same
// folder (a language's own lists).
class ArchivioListe
{
public:
    explicit ArchivioListe(QString cartella,
                           QString nomeSostituzioni = QStringLiteral("sostituzioni.dat"),
                           QString nomeEliminazioni = QStringLiteral("pulizia.dat"));

    const QString &Cartella() const { return m_cartella; }
    QString Percorso(Elenco elenco) const;

    // Opens the file for reading and writing, creating it empty when missing;
    // a file that exists but cannot be written is opened for reading only.
    // Something other than a regular file, or a file larger than
    // DimensioneMassimaElenco, is refused at once and the list `Illeggibile`.
    // False when it can be neither opened nor created (the list is then
    // `Chiuso` when the file did not exist, `Illeggibile` when it did).
    bool Apri(Elenco elenco, ErroreFile *errore = nullptr);

    StatoElenco Stato(Elenco elenco) const { return m_stato[Indice(elenco)]; }
    // Why the list is not `Scrivibile`: the error met writing, opening or reading it.
    const ErroreFile &Errore(Elenco elenco) const { return m_errore[Indice(elenco)]; }

    // What is wrong with the list file's records, for a note to the user: a
    // part-record at the end or a record whose fields do not read as text
    // (see FormatoElenco); empty when nothing is or the file cannot be read.
    QString DifettiRecord(Elenco elenco);
    // Current length of the file in bytes (0 when it is not open).
    qint64 Lunghezza(Elenco elenco) const;

    // Every record in file order; a trailing part-record is read as a whole
    // record padded with zeros. When the file cannot be read: no rows, `errore`
    // set and the list `Illeggibile`.
    QVector<VoceSostituzione> LeggiSostituzioni(ErroreFile *errore = nullptr);
    QVector<VoceEliminazione> LeggiEliminazioni(ErroreFile *errore = nullptr);

    // The entries a pseudocoding run walks are the records whose word is not
    // empty, in file order. Rebuilds that index and returns how many there are
    // (0 when the file cannot be read).
    int ContaSostituzioni(ErroreFile *errore = nullptr);
    int NumeroVoci() const { return int(m_recordVoci.size()); }

    // True when the file holds exactly the records that saving `righe` would write.
    bool Contiene(const QVector<VoceSostituzione> &righe);
    bool Contiene(const QVector<VoceEliminazione> &righe);
    // Reads entry k (1-based, among the counted records) into `buffer`;
    // false (and an empty buffer) when there is no such entry or it cannot be read.
    bool LeggiVoce(int k, VoceSostituzione &buffer);

    // Replaces the whole file with `righe`. The new file is written completely
    // beside the old one and then put in its place, so a failure leaves the
    // previous file as it was. Refused, with nothing written, when the list is
    // read-only or could not be read, or when a row does not fit its record.
    // Once the new file is in place the save has succeeded, even when opening
    // it again fails: the list is then `Illeggibile` and Errore() says why.
    bool Salva(const QVector<VoceSostituzione> &righe, ErroreFile *errore = nullptr);
    bool Salva(const QVector<VoceEliminazione> &righe, ErroreFile *errore = nullptr);

private:
    static int Indice(Elenco elenco) { return int(elenco); }
    // Hands every record (128 bytes, a part-record padded) to `perRecord` in
    // file order until it returns false. False on a read error, which makes
    // the list `Illeggibile`.
    bool Scorri(Elenco elenco, const std::function<bool(QByteArrayView)> &perRecord,
                ErroreFile *errore);
    bool Illeggibile(Elenco elenco, const ErroreFile &causa, ErroreFile *errore);
    template <typename Voce> QVector<Voce> LeggiRighe(Elenco elenco, ErroreFile *errore);
    template <typename Voce>
    bool SalvaRighe(Elenco elenco, const QVector<Voce> &righe, ErroreFile *errore);
    template <typename Voce> bool ContieneRighe(Elenco elenco, const QVector<Voce> &righe);

    QString m_cartella;
    QString m_nomeSostituzioni;
    QString m_nomeEliminazioni;
    std::array<QFile, 2> m_file;
    std::array<StatoElenco, 2> m_stato{StatoElenco::Chiuso, StatoElenco::Chiuso};
    std::array<ErroreFile, 2> m_errore;
    QVector<qint64> m_recordVoci; // record numbers (1-based) of the counted entries
};
