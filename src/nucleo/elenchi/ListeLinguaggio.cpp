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
