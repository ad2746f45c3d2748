#include "ListeLinguaggio.h"

#include "nucleo/elenchi/TestoElenco.h"

#include <QFile>

QByteArray TestoListaDelLinguaggio(Linguaggio linguaggio)
{
    if (linguaggio == Linguaggio::Nessuno) return {};
    QFile file(QStringLiteral(":/liste/") + ChiaveLinguaggio(linguaggio) + QStringLiteral(".txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<VoceSostituzione> ListaDelLinguaggio(Linguaggio linguaggio)
{
    return TestoElenco::LeggiSostituzioni(TestoListaDelLinguaggio(linguaggio)).voci;
}

QByteArray TestoPuliziaDelLinguaggio(Linguaggio linguaggio)
{
    if (linguaggio == Linguaggio::Nessuno) return {};
    if (linguaggio == Linguaggio::Basic)
        return TestoElenco::ScriviEliminazioni(EliminazioniPredefinite());
    QFile file(QStringLiteral(":/liste/pulizia-") + ChiaveLinguaggio(linguaggio) +
               QStringLiteral(".txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<VoceEliminazione> PuliziaDelLinguaggio(Linguaggio linguaggio)
{
    if (linguaggio == Linguaggio::Basic) return EliminazioniPredefinite();
    return TestoElenco::LeggiEliminazioni(TestoPuliziaDelLinguaggio(linguaggio)).voci;
}
