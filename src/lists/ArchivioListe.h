#pragma once

#include "app/ErroreFile.h"
#include "lists/VociElenco.h"

#include <QFile>
#include <QString>
#include <QVector>
#include <array>

enum class Elenco { Sostituzioni = 0, Eliminazioni = 1 };

// The two list files, "sostituzioni.dat" and "pulizia.dat", each a sequence of
// 128-byte records. Both stay open from start-up to the end of the program.
class ArchivioListe
{
public:
    explicit ArchivioListe(QString cartella);

    const QString &Cartella() const { return m_cartella; }
    QString Percorso(Elenco elenco) const;

    // Opens the file for reading and writing, creating it empty when missing.
    bool Apri(Elenco elenco, ErroreFile *errore = nullptr);
    bool Aperto(Elenco elenco) const { return m_file[Indice(elenco)].isOpen(); }
    void Chiudi();

    // Current length of the file in bytes (0 when it is not open).
    qint64 Lunghezza(Elenco elenco) const;

    // Every whole record in file order; a trailing part-record is ignored.
    QVector<VoceSostituzione> LeggiSostituzioni();
    QVector<VoceEliminazione> LeggiEliminazioni();

    // The entries a pseudocoding run walks are the records whose word is not
    // empty, in file order. Rebuilds that index and returns how many there are.
    int ContaSostituzioni();
    // Reads entry k (1-based, among the counted records) into `buffer`;
    // false (and an empty buffer) when there is no such entry or it cannot be read.
    bool LeggiVoce(int k, VoceSostituzione &buffer);

    // Replaces the whole file with `righe`. The new file is written completely
    // beside the old one and then put in its place, so a failure leaves the
    // previous file as it was.
    bool Salva(const QVector<VoceSostituzione> &righe, ErroreFile *errore = nullptr);
    bool Salva(const QVector<VoceEliminazione> &righe, ErroreFile *errore = nullptr);

private:
    static int Indice(Elenco elenco) { return int(elenco); }
    QByteArray LeggiTutto(Elenco elenco);
    bool Scrivi(Elenco elenco, const QByteArray &contenuto, ErroreFile *errore);

    QString m_cartella;
    std::array<QFile, 2> m_file;
    QVector<qint64> m_recordVoci; // record numbers (1-based) of the counted entries
};
