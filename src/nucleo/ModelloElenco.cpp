#include "ModelloElenco.h"

#include "nucleo/ricerca/Ricerca.h"

#include <QSet>
#include <utility>

namespace {

RigaElenco DaVoce(const VoceSostituzione &voce)
{
    return {voce.Trova, voce.Sostituisci, false};
}

RigaElenco DaVoce(const VoceEliminazione &voce)
{
    return {voce.Elimina, QString(), FlagParolaIntera(voce.ParolaIntera) != 0};
}

VoceSostituzione Sostituzione(const RigaElenco &riga)
{
    return {riga.parola, riga.sostituzione};
}

VoceEliminazione Eliminazione(const RigaElenco &riga)
{
    return RigheElenco::Eliminazione(riga.parola, riga.parolaIntera ? TestoSi : TestoNo);
}

template <typename Voce> QVector<RigaElenco> Righe(const QVector<Voce> &voci)
{
    QVector<RigaElenco> righe;
    righe.reserve(voci.size());
    for (const Voce &voce : voci)
        righe.append(DaVoce(voce));
    return righe;
}

} // namespace

ModelloElenco::ModelloElenco(ArchivioListe &liste, Elenco elenco, QObject *padre)
    : QAbstractTableModel(padre), m_liste(liste), m_elenco(elenco)
{
}

int ModelloElenco::rowCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : NumeroRighe();
}

int ModelloElenco::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : 2;
}

QString ModelloElenco::Testo(int riga, int colonna) const
{
    if (riga < 0 || riga >= NumeroRighe()) return {};
    const RigaElenco &r = m_righe[riga];
    if (colonna == 0) return r.parola;
    if (m_elenco == Elenco::Sostituzioni) return r.sostituzione;
    return r.parolaIntera ? TestoSi : TestoNo;
}

QVariant ModelloElenco::data(const QModelIndex &indice, int ruolo) const
{
    if (!indice.isValid()) return {};
    if (ruolo == Qt::DisplayRole) return Testo(indice.row(), indice.column());
    if (ruolo == Qt::DecorationRole && indice.column() == 0) return m_decorazione;
    return {};
}

QVariant ModelloElenco::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (orientamento != Qt::Horizontal || ruolo != Qt::DisplayRole) return {};
    if (sezione == 0) return QStringLiteral("Trova");
    if (sezione == 1)
        return m_elenco == Elenco::Sostituzioni ? QStringLiteral("Sostituisci con")
                                                : QStringLiteral("Cerca solo parola intera");
    return {};
}

void ModelloElenco::Sostituisci(QVector<RigaElenco> righe)
{
    beginResetModel();
    m_righe = std::move(righe);
    endResetModel();
    Cambiato();
}

ErroreFile ModelloElenco::Carica()
{
    // A file that could not be read before may be readable now (its
    // permissions mended): its rows then replace the empty list.
    if (m_liste.Stato(m_elenco) == StatoElenco::Illeggibile) m_liste.Apri(m_elenco);
    ErroreFile errore;
    if (m_elenco == Elenco::Sostituzioni)
        Sostituisci(Righe(RigheElenco::DaMostrare(m_liste.LeggiSostituzioni(&errore))));
    else
        Sostituisci(Righe(RigheElenco::DaMostrare(m_liste.LeggiEliminazioni(&errore))));
    m_modificato = false;
    return errore;
}

void ModelloElenco::Predefiniti()
{
    if (m_elenco == Elenco::Sostituzioni)
        Sostituisci(Righe(SostituzioniPredefinite()));
    else
        Sostituisci(Righe(EliminazioniPredefinite()));
}

void ModelloElenco::SvuotaTutto()
{
    Sostituisci({});
}

void ModelloElenco::UnisciRighe(const QVector<RigaElenco> &nuove, Unione modo)
{
    if (modo == Unione::Sostituisci) return Sostituisci(nuove);
    QVector<RigaElenco> righe = m_righe;
    QSet<QString> presenti;
    for (const RigaElenco &r : righe)
        presenti.insert(Ricerca::Maiuscolo(r.parola));
    for (const RigaElenco &r : nuove) {
        const QString chiave = Ricerca::Maiuscolo(r.parola);
        if (presenti.contains(chiave)) continue;
        presenti.insert(chiave);
        righe.append(r);
    }
    Sostituisci(std::move(righe));
}

void ModelloElenco::Unisci(const QVector<VoceSostituzione> &nuove, Unione modo)
{
    UnisciRighe(Righe(nuove), modo);
}

void ModelloElenco::Unisci(const QVector<VoceEliminazione> &nuove, Unione modo)
{
    UnisciRighe(Righe(nuove), modo);
}

void ModelloElenco::Aggiungi(const RigaElenco &riga)
{
    beginInsertRows({}, NumeroRighe(), NumeroRighe());
    m_righe.append(riga);
    endInsertRows();
    Cambiato();
}

void ModelloElenco::Imposta(int riga, const RigaElenco &nuova)
{
    if (riga < 0 || riga >= NumeroRighe()) return;
    m_righe[riga] = nuova;
    Q_EMIT dataChanged(index(riga, 0), index(riga, 1));
    Cambiato();
}

void ModelloElenco::Rimuovi(int riga)
{
    if (riga < 0 || riga >= NumeroRighe()) return;
    beginRemoveRows({}, riga, riga);
    m_righe.removeAt(riga);
    endRemoveRows();
    Cambiato();
}

std::optional<int> ModelloElenco::SpostaSu(int riga)
{
    if (riga < 1 || riga >= NumeroRighe()) return std::nullopt;
    std::swap(m_righe[riga], m_righe[riga - 1]);
    Q_EMIT dataChanged(index(riga - 1, 0), index(riga, 1));
    Cambiato();
    return riga - 1;
}

std::optional<int> ModelloElenco::SpostaGiu(int riga)
{
    if (riga < 0 || riga + 1 >= NumeroRighe()) return std::nullopt;
    std::swap(m_righe[riga], m_righe[riga + 1]);
    Q_EMIT dataChanged(index(riga, 0), index(riga + 1, 1));
    Cambiato();
    return riga + 1;
}

bool ModelloElenco::ContieneParola(const QString &parola) const
{
    const QString cercata = Ricerca::Maiuscolo(parola);
    for (const RigaElenco &r : m_righe)
        if (Ricerca::Maiuscolo(r.parola) == cercata) return true;
    return false;
}

QString ModelloElenco::Rifiuto(const RigaElenco &riga, bool nuova) const
{
    const bool sost = m_elenco == Elenco::Sostituzioni;
    if (nuova && ContieneParola(riga.parola))
        return QStringLiteral("Esiste già '") + riga.parola +
               (sost ? QStringLiteral("' nella lista delle sostituzioni!")
                     : QStringLiteral("' nella lista delle eliminazioni!"));
    return sost ? Record::MotivoNonContenibile(Sostituzione(riga))
                : Record::MotivoNonContenibile(Eliminazione(riga));
}

QVector<VoceSostituzione> ModelloElenco::Sostituzioni() const
{
    QVector<VoceSostituzione> voci;
    voci.reserve(m_righe.size());
    for (const RigaElenco &r : m_righe)
        voci.append(Sostituzione(r));
    return voci;
}

QVector<VoceEliminazione> ModelloElenco::Eliminazioni() const
{
    QVector<VoceEliminazione> voci;
    voci.reserve(m_righe.size());
    for (const RigaElenco &r : m_righe)
        voci.append(Eliminazione(r));
    return voci;
}

bool ModelloElenco::UgualeAlFile() const
{
    return m_elenco == Elenco::Sostituzioni ? m_liste.Contiene(Sostituzioni())
                                            : m_liste.Contiene(Eliminazioni());
}

ModelloElenco::EsitoSalvataggio ModelloElenco::Salva()
{
    using Tipo = EsitoSalvataggio::Tipo;
    EsitoSalvataggio esito;
    if (m_liste.Stato(m_elenco) == StatoElenco::Illeggibile) {
        esito.tipo = Tipo::NonLetto;
        esito.errore = m_liste.Errore(m_elenco);
        return esito;
    }
    const bool sost = m_elenco == Elenco::Sostituzioni;
    const QVector<VoceSostituzione> sostituzioni =
        sost ? Sostituzioni() : QVector<VoceSostituzione>();
    const QVector<VoceEliminazione> eliminazioni =
        sost ? QVector<VoceEliminazione>() : Eliminazioni();
    esito.riga = sost ? Record::PrimaRigaNonContenibile(sostituzioni, &esito.motivo)
                      : Record::PrimaRigaNonContenibile(eliminazioni, &esito.motivo);
    if (esito.riga) {
        esito.tipo = Tipo::RigaNonContenibile;
        return esito;
    }
    const bool salvato = sost ? m_liste.Salva(sostituzioni, &esito.errore)
                              : m_liste.Salva(eliminazioni, &esito.errore);
    if (!salvato) {
        esito.tipo = Tipo::ErroreScrittura;
        return esito;
    }
    m_modificato = false;
    return esito;
}
