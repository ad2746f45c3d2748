#include "ListeLinguaggio.h"

#include "nucleo/elenchi/TestoElenco.h"

#include <QFile>

QByteArray TestoListaDelLinguaggio(Linguaggio linguaggio)
{
    QString nome;
    switch (linguaggio) {
    case Linguaggio::Basic:
        nome = QStringLiteral(":/liste/basic.txt");
        break;
    case Linguaggio::C:
        nome = QStringLiteral(":/liste/c.txt");
        break;
    case Linguaggio::Cpp:
        nome = QStringLiteral(":/liste/cpp.txt");
        break;
    case Linguaggio::Batch:
        nome = QStringLiteral(":/liste/batch.txt");
        break;
    case Linguaggio::Nessuno:
        return {};
    }
    QFile file(nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<VoceSostituzione> ListaDelLinguaggio(Linguaggio linguaggio)
{
    return TestoElenco::LeggiSostituzioni(TestoListaDelLinguaggio(linguaggio)).voci;
}
