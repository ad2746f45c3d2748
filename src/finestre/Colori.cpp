#include "Colori.h"

#include <cmath>

namespace Colori {

namespace {
qreal Lineare(qreal c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QColor Mescola(const QColor &a, const QColor &b, qreal quota)
{
    const auto m = [quota](qreal x, qreal y) { return x + (y - x) * quota; };
    return QColor::fromRgbF(float(m(a.redF(), b.redF())), float(m(a.greenF(), b.greenF())),
                            float(m(a.blueF(), b.blueF())));
}

QColor Testo(const QPalette &tavolozza)
{
    return tavolozza.color(QPalette::Text);
}
QColor Sfondo(const QPalette &tavolozza)
{
    return tavolozza.color(QPalette::Base);
}
// On a dark background a tint needs more of itself to show.
qreal Quota(const QPalette &tavolozza, qreal chiara, qreal scura)
{
    return Scura(tavolozza) ? scura : chiara;
}
} // namespace

qreal Luminanza(const QColor &colore)
{
    const QColor c = colore.toRgb();
    return 0.2126 * Lineare(c.redF()) + 0.7152 * Lineare(c.greenF()) + 0.0722 * Lineare(c.blueF());
}

qreal Contrasto(const QColor &a, const QColor &b)
{
    const qreal la = Luminanza(a), lb = Luminanza(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Leggibile(const QColor &colore, const QColor &sfondo, qreal minimo)
{
    if (Contrasto(colore, sfondo) >= minimo) return colore;
    // Towards white on a dark background, towards black on a light one, in
    // small steps: the first shade that reads keeps most of the hue.
    const QColor estremo = Luminanza(sfondo) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    for (int passo = 1; passo <= 20; ++passo) {
        const QColor prova = Mescola(colore, estremo, passo / 20.0);
        if (Contrasto(prova, sfondo) >= minimo) return prova;
    }
    return estremo;
}

QColor Tinta(const QColor &sfondo, const QColor &tinta, qreal quota, const QColor &testo,
             qreal minimo)
{
    // Less of the tint, step by step, until the text reads; the plain
    // background when even the faintest tint would not do.
    for (int passo = 0; passo < 10; ++passo) {
        const QColor prova = Mescola(sfondo, tinta, quota * (10 - passo) / 10);
        if (Contrasto(testo, prova) >= minimo) return prova;
    }
    return sfondo;
}

bool Scura(const QPalette &tavolozza)
{
    return Luminanza(Sfondo(tavolozza)) < Luminanza(Testo(tavolozza));
}

QColor SegniCorsa(const QPalette &tavolozza)
{
    return Tinta(Sfondo(tavolozza), QColor(0xff, 0xd0, 0x00), Quota(tavolozza, 0.45, 0.45),
                 Testo(tavolozza));
}

QColor Sottolineatura(const QPalette &tavolozza)
{
    // A thin line must stand out: the mark's hue, as strong as text.
    return Leggibile(QColor(0xc0, 0x90, 0x00), RigaCambiata(tavolozza), 3);
}

QColor RigaCambiata(const QPalette &tavolozza)
{
    return Tinta(Sfondo(tavolozza), QColor(0xff, 0xd0, 0x40), Quota(tavolozza, 0.22, 0.22),
                 Testo(tavolozza));
}

QColor RigaAssente(const QPalette &tavolozza)
{
    return Tinta(Sfondo(tavolozza), Testo(tavolozza), 0.09, Testo(tavolozza));
}

QColor SegnoOriginale(const QPalette &tavolozza)
{
    return Tinta(Sfondo(tavolozza), QColor(0xff, 0x30, 0x30), Quota(tavolozza, 0.30, 0.40),
                 Testo(tavolozza));
}

QColor SegnoAttuale(const QPalette &tavolozza)
{
    return Tinta(Sfondo(tavolozza), QColor(0x20, 0xc0, 0x20), Quota(tavolozza, 0.35, 0.40),
                 Testo(tavolozza));
}

QColor Commento(const QPalette &tavolozza, const QColor &sfondo)
{
    return Leggibile(Scura(tavolozza) ? QColor(0x7c, 0xc4, 0x7f) : QColor(0x2e, 0x7d, 0x32),
                     sfondo);
}

} // namespace Colori
