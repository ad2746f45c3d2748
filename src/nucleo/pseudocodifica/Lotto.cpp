#include "Lotto.h"

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/FileRegolare.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/pseudocodifica/MotoreAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/Pulizia.h"

namespace Lotto {

namespace {

// Whether the runs can be worked out on a Windows-1252 text's bytes.
bool SuiByte(const MotoreAnsi &motore, const QVector<VoceEliminazione> *eliminazioni,
             const RegoleCodice &regole)
{
    return (!eliminazioni || eliminazioni->isEmpty()) && !regole.Attive() && motore.Disponibile();
}

// The runs over the decoded text, its bytes as "&Salva" writes them.
void ComeTesto(QString testo, FormatoTesto formato, const MotoreElenco &motore,
               const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
               UscitaByte &uscita, qsizetype *sostituzioni)
{
    const QByteArray byte = Documento::Codifica(
        Pseudocodifica(std::move(testo), motore, eliminazioni, sostituzioni, regole), formato);
    uscita.Aggiungi(byte.constData(), byte.size());
}

// A whole document's bytes: decoded when they are not Windows-1252, worked on
// as they are when the byte engine takes them, otherwise decoded with
// `decodificaAnsi`.
template <typename DecodificaAnsi>
void ElaboraByte(QByteArrayView byte, DecodificaAnsi decodificaAnsi, const MotoreElenco &motore,
                 const MotoreAnsi &ansi, const QVector<VoceEliminazione> *eliminazioni,
                 const RegoleCodice &regole, UscitaByte &uscita, qsizetype *sostituzioni)
{
    FormatoTesto formato;
    if (std::optional<QString> testo = Documento::DecodificaNonAnsi(byte, formato))
        ComeTesto(*std::move(testo), formato, motore, eliminazioni, regole, uscita, sostituzioni);
    else if (!PseudocodificaAnsi(byte, ansi, eliminazioni, regole, uscita, sostituzioni))
        ComeTesto(decodificaAnsi(), formato, motore, eliminazioni, regole, uscita, sostituzioni);
}

template <typename Voce, typename Decodifica>
QVector<Voce> Dividi(const QByteArray &dati, Decodifica decodifica)
{
    QVector<Voce> voci;
    const qsizetype n = dati.size() / Record::Lunghezza;
    voci.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        voci.append(
            decodifica(QByteArrayView(dati).sliced(i * Record::Lunghezza, Record::Lunghezza)));
    return voci;
}

} // namespace

QString ACapoComeEditor(const QString &testo)
{
    return ACapo::Normalizza(testo);
}

QString Pseudocodifica(QString testo, const MotoreElenco &motore,
                       const QVector<VoceEliminazione> *eliminazioni, qsizetype *sostituzioni,
                       const RegoleCodice &regole)
{
    // Each step that changes the text writes it to the editor, which turns
    // any line break the step made into its own. A step whose words and
    // replacements hold no line break cannot make one.
    testo = ACapoComeEditor(testo);
    if (eliminazioni) {
        Pulizia::Esito pulito = Pulizia::Applica(testo, *eliminazioni, regole);
        if (pulito.eliminate > 0) {
            bool toccaACapo = false;
            for (const VoceEliminazione &v : *eliminazioni)
                toccaACapo = toccaACapo || MotoreElenco::TieneACapo(v.Elimina);
            testo = toccaACapo ? ACapoComeEditor(pulito.testo) : std::move(pulito.testo);
        }
    }
    qsizetype conta = 0;
    testo = motore.Applica(std::move(testo), regole, &conta);
    if (conta > 0 && motore.ToccaGliACapo()) testo = ACapoComeEditor(testo);
    if (sostituzioni) *sostituzioni = conta;
    return testo;
}

bool PseudocodificaAnsi(QByteArrayView byte, const MotoreAnsi &motore,
                        const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
                        UscitaByte &uscita, qsizetype *sostituzioni)
{
    if (!SuiByte(motore, eliminazioni, regole)) return false;
    const qsizetype conta = motore.Applica(byte, uscita);
    uscita.Aggiungi("\r\n", 2);
    if (sostituzioni) *sostituzioni = conta;
    return true;
}

bool Elabora(const QString &percorso, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita, ErroreFile *errore, qsizetype *sostituzioni)
{
    std::optional<Documento::LetturaFile> lettura = Documento::LetturaFile::Apri(percorso, errore);
    if (!lettura) return false;
    // A large file whose first bytes show it is Windows-1252 is worked on
    // piece by piece as it is read, each piece while it is still in the
    // processor's cache.
    constexpr qsizetype Primi = qsizetype(64) << 10, Pezzo = qsizetype(256) << 10;
    QByteArray inizio;
    if (SuiByte(ansi, eliminazioni, regole) && lettura->Attesi() > Primi) {
        inizio.resize(Primi);
        const qsizetype letti = lettura->Leggi(inizio.data(), Primi, errore);
        if (letti < 0) return false;
        inizio.truncate(letti);
        if (letti == Primi && Documento::InizioAnsi(inizio)) {
            MotoreAnsi::APezzi pezzi(ansi, uscita);
            std::copy(inizio.cbegin(), inizio.cend(), pezzi.Spazio(letti));
            pezzi.Scritti(letti);
            for (;;) {
                const qsizetype r = lettura->Leggi(pezzi.Spazio(Pezzo), Pezzo, errore);
                if (r < 0) return false;
                if (r == 0) break;
                pezzi.Scritti(r);
            }
            const qsizetype conta = pezzi.Fine();
            if (sostituzioni) *sostituzioni = conta;
            uscita.Aggiungi("\r\n", 2);
            return true;
        }
    }
    std::optional<Documento::FileLetto> file = Documento::LeggiByte(*lettura, inizio, errore);
    if (!file) return false;
    lettura.reset();
    ElaboraByte(
        file->Byte(), [&] { return Documento::DecodificaAnsi(*std::move(file)); }, motore, ansi,
        eliminazioni, regole, uscita, sostituzioni);
    return true;
}

void Elabora(const QByteArray &byte, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita, qsizetype *sostituzioni)
{
    ElaboraByte(
        byte, [&] { return CodificaAnsi::Decodifica(byte); }, motore, ansi, eliminazioni, regole,
        uscita, sostituzioni);
}

std::optional<QByteArray> LeggiElenco(const QString &percorso, ErroreFile *errore)
{
    return FileRegolare::Leggi(percorso, DimensioneMassimaElenco, errore);
}

QVector<VoceSostituzione> Sostituzioni(const QByteArray &dati)
{
    return Dividi<VoceSostituzione>(dati, &Record::DecodificaSostituzione);
}

QVector<VoceEliminazione> Eliminazioni(const QByteArray &dati)
{
    return Dividi<VoceEliminazione>(dati, &Record::DecodificaEliminazione);
}

} // namespace Lotto
