#include "RegoleCodice.h"

namespace {

// Letters, digits and spaces only, with no word that the scanner reads as a
// comment opener or as the header's end.
bool Inerte(const QString &testo, bool spazi)
{
    for (QChar c : testo)
        if (!(c.isLetterOrNumber() || (spazi && c == u' '))) return false;
    for (QStringView parola : QStringView(testo).split(u' ', Qt::SkipEmptyParts))
        for (const char16_t *chiave : {u"rem", u"echo", u"attribute"})
            if (parola.compare(QStringView(chiave), Qt::CaseInsensitive) == 0) return false;
    return true;
}

} // namespace

bool RegoleCodice::SostituzioneNeutra(const QString &parola, const QString &sostituto) const
{
    if (parola.isEmpty() || sostituto.trimmed().isEmpty()) return false;
    if (parola.front() == u' ' || parola.back() == u' ') return false;
    // In C the name after "#" ends where the directive's protected text
    // begins: a word or a replacement of more than one name could straddle it.
    const bool spazi = tipo.linguaggio != Linguaggio::C;
    return Inerte(parola, spazi) && Inerte(sostituto, spazi);
}

namespace {

// The stretches moved by `n` replacements in text order: replacement k starts
// at inizio(k) and changes the length of the text by differenza(k).
template <typename Inizio, typename Differenza>
ZoneProtette Sposta(const ZoneProtette &zone, qsizetype n, Inizio inizio, Differenza differenza)
{
    QVector<Zona> spostate = zone.Elenco();
    qsizetype k = 0, spostamento = 0;
    for (Zona &z : spostate) {
        for (; k < n && inizio(k) < z.inizio; ++k)
            spostamento += differenza(k);
        z.inizio += spostamento;
        z.fine += spostamento;
    }
    return ZoneProtette(std::move(spostate));
}

} // namespace

ZoneProtette RegoleCodice::SpostaZone(const ZoneProtette &zone, const QVector<qsizetype> &inizi,
                                      qsizetype lunghezza, qsizetype nuova)
{
    return Sposta(
        zone, inizi.size(), [&](qsizetype k) { return inizi[k]; },
        [&](qsizetype) { return nuova - lunghezza; });
}

ZoneProtette RegoleCodice::ZoneDopo(const ZoneProtette &zone, QStringView testo,
                                    const QString &parola, const QString &sostituto,
                                    const QVector<qsizetype> &inizi) const
{
    if (!Protegge()) return {};
    return SostituzioneNeutra(parola, sostituto)
               ? SpostaZone(zone, inizi, parola.size(), sostituto.size())
               : Zone(testo);
}

ZoneProtette RegoleCodice::SpostaZone(const ZoneProtette &zone,
                                      const QVector<Spostamento> &spostamenti)
{
    return Sposta(
        zone, spostamenti.size(), [&](qsizetype k) { return spostamenti[k].inizio; },
        [&](qsizetype k) { return spostamenti[k].nuova - spostamenti[k].lunghezza; });
}
