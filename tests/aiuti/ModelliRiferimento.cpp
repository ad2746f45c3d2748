#include "ModelliRiferimento.h"

#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/codice/ScansioneCodice.h"

namespace Modello {

QByteArray RecordLetterale(const QList<QByteArray> &campiTesto, const QList<int> &campiInteri)
{
    QByteArray r;
    for (const QByteArray &campo : campiTesto) {
        r.append(char(campo.size() % 256));
        r.append(char(campo.size() / 256));
        r.append(campo);
    }
    for (int valore : campiInteri) {
        r.append(char(valore & 0xFF));
        r.append(char((valore >> 8) & 0xFF));
    }
    while (r.size() < 128)
        r.append('\0');
    return r;
}

bool Separatore(QChar c)
{
    return QStringLiteral(" \r\n()<>!?.;:,").contains(c);
}

QString Maiuscolo(const QString &s)
{
    QString r;
    for (QChar c : s)
        r.append(c.toUpper());
    return r;
}

bool CercaConDomande(Editor &editor, qint32 &PosRicerca, const QString &Parola, const QString &Modo,
                     qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                     const std::function<bool(Ricerca::Domanda)> &chiedi)
{
    Ricerca::PosizioneRicerca posizione = Ricerca::PosizioneRicerca::Su(qsizetype(PosRicerca) - 1);
    // Maiuscole 0 = case aside; Intere 1 = whole words, 0 = anywhere, anything else finds nothing.
    const Ricerca::Parola parola(
        Parola, Ricerca::Confronto{Intere == 0 || Intere == 1, Maiuscole == 0, Intere == 1});
    bool risultato = true;
    for (;;) {
        const Ricerca::PassoRicerca passo = Ricerca::Cerca(
            editor.testo, editor.selLength, parola, Ricerca::Direzione(Direzione), posizione);
        if (passo.ricomincia) editor.selLength = 0;
        if (passo.trovata) {
            editor.selStart = passo.trovata->inizio;
            editor.selLength = passo.trovata->lunghezza;
        }
        if (!passo.limite) break;
        if (!Modo.isEmpty() || !chiedi || !chiedi(*passo.limite)) {
            risultato = false;
            break;
        }
    }
    PosRicerca = qint32(posizione.Indice() + 1);
    return risultato;
}

bool CercaParola(Editor &editor, qint32 &PosRicerca, const QString &Parola, const QString &Modo,
                 qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                 const std::function<bool(Ricerca::Domanda)> &chiedi)
{
    // 1 "Giù" and 2 "Tutte" go forward, 0 "Su" backward; any other does nothing.
    const bool avanti = Direzione == 1 || Direzione == 2;
    if (!avanti && Direzione != 0) return true;
    const int passo = avanti ? 1 : -1;
    while (true) {
        // 1. wrap check
        if (avanti && PosRicerca >= editor.testo.size()) {
            editor.selLength = 0;
            PosRicerca = 1;
        } else if (!avanti && PosRicerca < 1) {
            PosRicerca = editor.testo.size();
            editor.selLength = 0;
        }
        // 2.
        const QString T = editor.testo;
        const int n = T.size();
        const int L = Parola.size();
        auto corrisponde = [&](int p) {
            const QString candidato = T.mid(p - 1, L);
            if (candidato.size() < L) return false;
            const QChar prima = p > 1 ? T[p - 2] : QChar(' ');
            const bool dopoEsiste = p + L <= n;
            // Nothing after the candidate: the end of the text is a delimiter.
            const bool intera = Separatore(prima) && (!dopoEsiste || Separatore(T[p + L - 1]));
            bool uguale = candidato == Parola;
            if (!uguale && Maiuscole == 0) uguale = Maiuscolo(candidato) == Maiuscolo(Parola);
            return uguale && ((Intere == 1 && intera) || Intere == 0);
        };
        // 3. past the selection (before it, backward), then 4. / 5. one position at a time
        PosRicerca += passo * editor.selLength;
        int p;
        for (p = PosRicerca; avanti ? p <= n : p >= 1; p += passo) {
            if (p < 1 || p > n) continue;
            if (corrisponde(p)) {
                editor.selStart = p - 1;
                editor.selLength = L;
                break;
            }
        }
        PosRicerca = p;
        if (avanti ? PosRicerca < n : PosRicerca >= 2) return true;
        // The end (the start, backward) was reached: silent mode stops, and
        // otherwise the user chooses whether to go round.
        if (!Modo.isEmpty() ||
            !chiedi(avanti ? Ricerca::Domanda::FineTesto : Ricerca::Domanda::InizioTesto))
            return false;
    }
}

EsitoSostituzione Sostituisci(QString W, const QString &Parola, const QString &Sostituto,
                              qint16 Maiuscole, qint16 Intere, qsizetype fermaA, int inizio,
                              std::optional<QChar> dopoIlTesto)
{
    int n = W.size();
    const int L = Parola.size();
    if (L == 0) return {W}; // an empty word replaces nothing
    EsitoSostituzione esito;
    int p = inizio;
    qsizetype esaminate = 0;
    // The last candidate examined ends on the last character of W.
    while (p <= n - L + 1) {
        if (++esaminate == fermaA) {
            esito.interrotto = true;
            break;
        }
        const QString candidato = W.mid(p - 1, L);
        const QChar prima = p > 1 ? W[p - 2] : QChar(' ');
        // After the last character of W comes `dopoIlTesto`, or the end of the text.
        const std::optional<QChar> dopo = p + L - 1 < n ? W[p + L - 1] : dopoIlTesto;
        const bool intera = Separatore(prima) && (!dopo || Separatore(*dopo));
        // Maiuscole 1 exact, 0 case aside, anything else never equal.
        const bool uguale = Maiuscole == 1
                                ? candidato == Parola
                                : Maiuscole == 0 && Maiuscolo(candidato) == Maiuscolo(Parola);
        if (uguale && ((Intere == 1 && intera) || Intere == 0)) {
            W = W.left(p - 1) + Sostituto + W.mid(p - 1 + L);
            n = n - L + Sostituto.size();
            p = p + Sostituto.size() - 1;
            ++esito.sostituzioni;
        }
        p = p + 1;
    }
    esito.testo = W;
    return esito;
}

bool DelimitaCodice(const QString &W, qsizetype k, const Codice &regole)
{
    if (k < 0) return true;
    const QChar c = W[k];
    if (Separatore(c)) return true;
    if (!regole.separatori) return false;
    if (Nomi(regole)) {
        if (c == QLatin1Char('@') && regole.tipo.linguaggio == Linguaggio::Batch) return true;
        if (c == QLatin1Char('$') && regole.tipo.linguaggio == Linguaggio::Basic)
            return k > 0 && (W[k - 1].isLetterOrNumber() || W[k - 1] == QLatin1Char('_'));
        if (c == QLatin1Char('-') && regole.tipo.linguaggio == Linguaggio::Batch)
            return !(k > 0 && (W[k - 1].isLetterOrNumber() || W[k - 1] == QLatin1Char('_')));
    }
    if (!QStringLiteral("\t=+-*/\\^&|~{}[]\"'").contains(c)) return false;
    if (c == QLatin1Char('&') && regole.tipo.linguaggio == Linguaggio::Basic && k > 0 &&
        (W[k - 1].isLetterOrNumber() || W[k - 1] == QLatin1Char('_')))
        return false;
    return true;
}

bool Nomi(const Codice &regole)
{
    return regole.proteggi && regole.separatori && regole.tipo.linguaggio != Linguaggio::Nessuno;
}

bool MaiuscoleEsatte(const Codice &regole)
{
    return Nomi(regole) &&
           (regole.tipo.linguaggio == Linguaggio::C || regole.tipo.linguaggio == Linguaggio::Cpp);
}

namespace {

void Segna(QVector<bool> &flag, const QVector<Zona> &zone)
{
    for (const Zona &z : zone)
        for (qsizetype i = z.inizio; i < z.fine; ++i)
            flag[i] = true;
}

} // namespace

QVector<bool> NomiIntatti(const QString &W, const Codice &regole)
{
    QVector<bool> flag(W.size(), false);
    if (Nomi(regole)) Segna(flag, NomiDelCodice(W, regole.tipo.linguaggio));
    return flag;
}

QVector<bool> Protetti(const QString &W, const Codice &regole, const QVector<bool> *nomi)
{
    QVector<bool> flag(W.size(), false);
    if (!regole.proteggi) return flag;
    Segna(flag, ScansionaCodice(W, regole.tipo).Elenco());
    const QVector<bool> trovati = nomi ? QVector<bool>() : NomiIntatti(W, regole);
    const QVector<bool> &segnati = nomi ? *nomi : trovati;
    for (qsizetype i = 0; i < W.size(); ++i)
        flag[i] = flag[i] || segnati[i];
    return flag;
}

namespace {

// With the names kept, a word whose first character is no letter, digit or
// "_" (".Close", "->next") needs no delimiter before it.
bool InizioProprio(const QString &Parola, const Codice &regole)
{
    return Nomi(regole) && !Parola.isEmpty() && !Parola[0].isLetterOrNumber() &&
           Parola[0] != QLatin1Char('_');
}

} // namespace

EsitoSostituzione SostituisciCodice(QString W, const QString &Parola, const QString &Sostituto,
                                    qint16 Maiuscole, qint16 Intere, const Codice &regole,
                                    QVector<bool> *nomi)
{
    const int L = Parola.size();
    if (L == 0) return {W};
    EsitoSostituzione esito;
    QVector<bool> M = Protetti(W, regole, nomi);
    for (int p = 1; p <= W.size() - L + 1; ++p) {
        const QString candidato = W.mid(p - 1, L);
        const bool dopo = p + L - 1 == W.size() || DelimitaCodice(W, p + L - 1, regole);
        const bool intera =
            (InizioProprio(Parola, regole) || DelimitaCodice(W, p - 2, regole)) && dopo;
        const bool uguale =
            Maiuscole == 1 ? candidato == Parola : Maiuscolo(candidato) == Maiuscolo(Parola);
        if (!uguale || (Intere == 1 && !intera) || M[p - 1]) continue;
        W = W.left(p - 1) + Sostituto + W.mid(p - 1 + L);
        M = M.mid(0, p - 1) + QVector<bool>(Sostituto.size(), false) + M.mid(p - 1 + L);
        if (nomi)
            *nomi =
                nomi->mid(0, p - 1) + QVector<bool>(Sostituto.size(), false) + nomi->mid(p - 1 + L);
        p += Sostituto.size() - 1;
        ++esito.sostituzioni;
    }
    esito.testo = W;
    return esito;
}

QString ElencoCodice(QString W, const QVector<VoceSostituzione> &voci, const Codice &regole,
                     int *sostituzioni)
{
    int conta = 0;
    // The names are those of the text given, moved with it entry after entry.
    QVector<bool> nomi = NomiIntatti(W, regole);
    for (const VoceSostituzione &voce : voci) {
        const EsitoSostituzione e = SostituisciCodice(
            W, voce.Trova, voce.Sostituisci, MaiuscoleEsatte(regole) ? 1 : 0, 1, regole, &nomi);
        W = e.testo;
        conta += e.sostituzioni;
    }
    if (sostituzioni) *sostituzioni = conta;
    return W;
}

QString PuliziaCodice(QString W, const QVector<VoceEliminazione> &voci, const Codice &regole,
                      int *eliminate)
{
    int conta = 0;
    for (const VoceEliminazione &voce : voci) {
        const qint16 intere = voce.ParolaIntera == TestoSi ? 1 : 0;
        const EsitoSostituzione e = SostituisciCodice(
            W, voce.Elimina, QString(), MaiuscoleEsatte(regole) ? 1 : 0, intere, regole);
        W = e.testo;
        conta += e.sostituzioni;
    }
    if (eliminate) *eliminate = conta;
    return W;
}

qsizetype TrovaCodice(const QString &W, const QString &Parola, qsizetype da, const Codice &regole,
                      const QVector<bool> *nomi)
{
    const qsizetype L = Parola.size();
    if (L == 0) return -1;
    const QVector<bool> M = Protetti(W, regole, nomi);
    for (qsizetype i = std::max<qsizetype>(da, 0); i + L <= W.size(); ++i) {
        const bool dopo = i + L == W.size() || DelimitaCodice(W, i + L, regole);
        const bool uguale = MaiuscoleEsatte(regole) ? W.mid(i, L) == Parola
                                                    : Maiuscolo(W.mid(i, L)) == Maiuscolo(Parola);
        if ((InizioProprio(Parola, regole) || DelimitaCodice(W, i - 1, regole)) && dopo && !M[i] &&
            uguale)
            return i;
    }
    return -1;
}

QString CamminoCodice(QString W, const QVector<VoceSostituzione> &voci, const Codice &regole)
{
    QVector<bool> nomi = NomiIntatti(W, regole);
    for (const VoceSostituzione &voce : voci) {
        qsizetype i = TrovaCodice(W, voce.Trova, 0, regole, &nomi);
        for (int limite = 0; i >= 0 && limite < 200; ++limite) {
            const qsizetype L = voce.Trova.size(), nuova = voce.Sostituisci.size();
            W.replace(i, L, voce.Sostituisci);
            nomi = nomi.mid(0, i) + QVector<bool>(nuova, false) + nomi.mid(i + L);
            i = TrovaCodice(W, voce.Trova, i + nuova, regole, &nomi);
        }
    }
    return W;
}

} // namespace Modello
