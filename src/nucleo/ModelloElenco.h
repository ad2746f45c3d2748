#pragma once

#include "nucleo/elenchi/ArchivioListe.h"

#include <QAbstractTableModel>
#include <QVariant>
#include <QVector>
#include <optional>

// One row of a list editor: the word, and the replacement (substitution list) or
// the whole-word flag (elimination list).
struct RigaElenco
{
    QString parola;
    QString sostituzione;
    bool parolaIntera = false;
    bool operator==(const RigaElenco &o) const
    {
        return parola == o.parola && sostituzione == o.sostituzione &&
               parolaIntera == o.parolaIntera;
    }
};

// The rows of the list being edited, as two columns: the word, and the
// replacement or "Sì"/"No" for the whole-word flag. The rows change only here;
// the file changes on Salva(). Rows are numbered from 0.
class ModelloElenco : public QAbstractTableModel
{
public:
    ModelloElenco(ArchivioListe &liste, Elenco elenco, QObject *padre = nullptr);

    Elenco Tipo() const { return m_elenco; }
    const ArchivioListe &Liste() const { return m_liste; }

    int rowCount(const QModelIndex &padre = {}) const override;
    int columnCount(const QModelIndex &padre = {}) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;

    // The picture every row shows in its first column (one value shared by all rows).
    void ImpostaDecorazione(const QVariant &decorazione) { m_decorazione = decorazione; }

    int NumeroRighe() const { return int(m_righe.size()); }
    const RigaElenco &Riga(int riga) const { return m_righe[riga]; }
    // The text shown in a cell.
    QString Testo(int riga, int colonna) const;

    // The file's rows, trimmed of spaces; records with no replacement
    // (substitutions) or no word (eliminations) are not shown. A list that
    // could not be read is opened again first. The rows are then unchanged.
    ErroreFile Carica();
    // The factory rows ("&Predefiniti").
    void Predefiniti();
    void SvuotaTutto();
    void Aggiungi(const RigaElenco &riga);
    void Imposta(int riga, const RigaElenco &nuova);
    void Rimuovi(int riga);
    // Swaps a row with its neighbour; the row's new number, or nullopt when it
    // is already at that end.
    std::optional<int> SpostaSu(int riga);
    std::optional<int> SpostaGiu(int riga);

    // True when a row has `parola` as its word, case aside.
    bool ContieneParola(const QString &parola) const;
    // Why `riga` cannot be taken (a new row whose word is already there, or a
    // row the file could not hold); empty when it can.
    QString Rifiuto(const RigaElenco &riga, bool nuova) const;

    // The rows as list entries, for saving and exporting.
    QVector<VoceSostituzione> Sostituzioni() const;
    QVector<VoceEliminazione> Eliminazioni() const;

    // How entries brought in from elsewhere (a language's list, a list text
    // file) join the rows: in their place, or the ones whose word no row has,
    // case aside, added at the end (nor an earlier entry brought in).
    enum class Unione { Sostituisci, AggiungiMancanti };
    void Unisci(const QVector<VoceSostituzione> &nuove, Unione modo);
    void Unisci(const QVector<VoceEliminazione> &nuove, Unione modo);

    // Rows changed since they were loaded or saved.
    bool Modificato() const { return m_modificato; }
    // True when the file holds exactly the records that saving the rows would write.
    bool UgualeAlFile() const;

    struct EsitoSalvataggio
    {
        enum class Tipo { Salvato, NonLetto, RigaNonContenibile, ErroreScrittura };
        Tipo tipo = Tipo::Salvato;
        int riga = 0;   // the row (from 1) that no record can hold
        QString motivo; // why
        ErroreFile errore;
    };
    // Rewrites the file from the rows, unless the list was never read or a row
    // does not fit its record.
    EsitoSalvataggio Salva();

private:
    void Sostituisci(QVector<RigaElenco> righe);
    void UnisciRighe(const QVector<RigaElenco> &nuove, Unione modo);
    void Cambiato() { m_modificato = true; }

    ArchivioListe &m_liste;
    Elenco m_elenco;
    QVector<RigaElenco> m_righe;
    QVariant m_decorazione;
    bool m_modificato = false;
};
