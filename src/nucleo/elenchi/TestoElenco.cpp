#include "TestoElenco.h"

#include <QStringDecoder>

namespace TestoElenco {

namespace {

const QChar Tab = u'\t';

bool HaFineRiga(const QString &s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

// Why the two fields cannot be a row of the list, or empty.
QString Motivo(const VoceSostituzione &voce)
{
    if (voce.Trova.isEmpty()) return QStringLiteral("la parola da cercare è vuota");
    if (voce.Sostituisci.isEmpty())
        return QStringLiteral("il testo sostitutivo è vuoto (l'elenco non terrebbe la riga)");
    if (voce.Trova.contains(Tab))
        return QStringLiteral("la parola da cercare contiene un carattere di tabulazione");
    if (HaFineRiga(voce.Trova) || HaFineRiga(voce.Sostituisci))
        return QStringLiteral("un campo contiene un ritorno a capo");
    return Record::MotivoNonContenibile(voce);
}

QString Motivo(const VoceEliminazione &voce)
{
    if (voce.Elimina.isEmpty()) return QStringLiteral("la parola da eliminare è vuota");
    if (voce.Elimina.contains(Tab))
        return QStringLiteral("la parola da eliminare contiene un carattere di tabulazione");
    if (HaFineRiga(voce.Elimina)) return QStringLiteral("la parola contiene un ritorno a capo");
    if (voce.ParolaIntera != TestoSi && voce.ParolaIntera != TestoNo)
        return QStringLiteral("il secondo campo deve essere \"Sì\" o \"No\"");
    return Record::MotivoNonContenibile(voce);
}

// Calls `riga(numero, bytes)` for every line of `testo`.
template <typename F> void PerOgniRiga(QByteArrayView testo, F riga)
{
    if (testo.startsWith("\xEF\xBB\xBF")) testo = testo.sliced(3);
    qsizetype numero = 0;
    qsizetype i = 0;
    const qsizetype n = testo.size();
    while (i < n) {
        qsizetype fine = i;
        while (fine < n && testo[fine] != '\n' && testo[fine] != '\r')
            ++fine;
        ++numero;
        riga(numero, testo.sliced(i, fine - i));
        i = fine;
        if (i < n && testo[i] == '\r' && i + 1 < n && testo[i + 1] == '\n') ++i;
        ++i;
    }
}

// Splits one line into its two fields; false (with the reason) when it cannot.
bool Campi(QByteArrayView byte, QString &testo, QString &primo, QString &secondo, QString &motivo)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    testo = decoder.decode(byte);
    if (decoder.hasError()) {
        motivo = QStringLiteral("la riga non è testo UTF-8 valido");
        return false;
    }
    const qsizetype tab = testo.indexOf(Tab);
    if (tab < 0) {
        motivo = QStringLiteral("manca il carattere di tabulazione fra i due campi");
        return false;
    }
    primo = testo.first(tab);
    secondo = testo.sliced(tab + 1);
    return true;
}

QString Flag(const QString &testo)
{
    if (testo.compare(TestoSi, Qt::CaseInsensitive) == 0 ||
        testo.compare(QLatin1String("si"), Qt::CaseInsensitive) == 0)
        return TestoSi;
    if (testo.compare(TestoNo, Qt::CaseInsensitive) == 0) return TestoNo;
    return testo;
}

// The entry a line's two fields make.
template <typename Voce> Voce DaiCampi(const QString &primo, const QString &secondo);
template <> VoceSostituzione DaiCampi(const QString &primo, const QString &secondo)
{
    return {primo, secondo};
}
template <> VoceEliminazione DaiCampi(const QString &primo, const QString &secondo)
{
    return RigheElenco::Eliminazione(primo, Flag(secondo));
}

template <typename Voce> Esito<Voce> Leggi(QByteArrayView testo)
{
    Esito<Voce> esito;
    PerOgniRiga(testo, [&](qsizetype numero, QByteArrayView byte) {
        if (byte.isEmpty()) return;
        QString riga, primo, secondo, motivo;
        if (Campi(byte, riga, primo, secondo, motivo)) {
            const Voce voce = DaiCampi<Voce>(primo, secondo);
            motivo = Motivo(voce);
            if (motivo.isEmpty()) {
                esito.voci.append(voce);
                return;
            }
        }
        esito.rifiutate.append({numero, riga, motivo});
    });
    return esito;
}

template <typename Voce>
QByteArray Scrivi(const QVector<Voce> &voci, QVector<RigaRifiutata> *rifiutate)
{
    QByteArray uscita;
    for (qsizetype i = 0; i < voci.size(); ++i) {
        const QString &primo = ParolaDi(voci[i]);
        const QString &secondo = SecondoDi(voci[i]);
        const QString motivo = Motivo(voci[i]);
        if (motivo.isEmpty()) {
            uscita.append(primo.toUtf8());
            uscita.append('\t');
            uscita.append(secondo.toUtf8());
            uscita.append('\n');
        } else if (rifiutate) {
            rifiutate->append({i + 1, primo + Tab + secondo, motivo});
        }
    }
    return uscita;
}

} // namespace

Esito<VoceSostituzione> LeggiSostituzioni(QByteArrayView testo)
{
    return Leggi<VoceSostituzione>(testo);
}

Esito<VoceEliminazione> LeggiEliminazioni(QByteArrayView testo)
{
    return Leggi<VoceEliminazione>(testo);
}

QByteArray ScriviSostituzioni(const QVector<VoceSostituzione> &voci,
                              QVector<RigaRifiutata> *rifiutate)
{
    return Scrivi(voci, rifiutate);
}

QByteArray ScriviEliminazioni(const QVector<VoceEliminazione> &voci,
                              QVector<RigaRifiutata> *rifiutate)
{
    return Scrivi(voci, rifiutate);
}

QString Messaggio(const QVector<RigaRifiutata> &rifiutate, bool scrittura, int massimo)
{
    if (rifiutate.isEmpty()) return {};
    QString m = scrittura ? QStringLiteral("Le righe seguenti non sono state scritte nel file:")
                          : QStringLiteral("Le righe seguenti non sono state caricate:");
    const QString etichetta = scrittura ? QStringLiteral("voce") : QStringLiteral("riga");
    for (qsizetype i = 0; i < rifiutate.size() && i < massimo; ++i) {
        const RigaRifiutata &r = rifiutate[i];
        QString testo = r.testo;
        testo.replace(Tab, QStringLiteral(" → "));
        testo.replace(u'\r', u' ').replace(u'\n', u' ');
        if (testo.size() > 60) testo = testo.first(57) + QStringLiteral("...");
        m += QStringLiteral("\n%1 %2: \"%3\" - %4").arg(etichetta).arg(r.riga).arg(testo, r.motivo);
    }
    if (rifiutate.size() > massimo)
        m += QStringLiteral("\n... e altre %1.").arg(rifiutate.size() - massimo);
    return m;
}

} // namespace TestoElenco
