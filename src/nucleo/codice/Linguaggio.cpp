#include "Linguaggio.h"

#include <algorithm>

TipoTesto TipoDaNomeFile(QStringView nomeFile)
{
    const qsizetype barra = std::max(nomeFile.lastIndexOf(u'/'), nomeFile.lastIndexOf(u'\\'));
    const QStringView nome = nomeFile.sliced(barra + 1);
    const qsizetype punto = nome.lastIndexOf(u'.');
    if (punto < 0) return {};
    const QString estensione = nome.sliced(punto + 1).toString().toLower();

    struct Voce
    {
        const char16_t *estensione;
        Linguaggio linguaggio;
        bool intestazione;
    };
    static const Voce tabella[] = {
        {u"bas", Linguaggio::Basic, false}, {u"frm", Linguaggio::Basic, true},
        {u"cls", Linguaggio::Basic, true},  {u"ctl", Linguaggio::Basic, true},
        {u"dsr", Linguaggio::Basic, true},  {u"vbs", Linguaggio::Basic, false},
        {u"c", Linguaggio::C, false},       {u"h", Linguaggio::C, false},
        {u"cpp", Linguaggio::Cpp, false},   {u"hpp", Linguaggio::Cpp, false},
        {u"cc", Linguaggio::Cpp, false},    {u"cxx", Linguaggio::Cpp, false},
        {u"hh", Linguaggio::Cpp, false},    {u"hxx", Linguaggio::Cpp, false},
        {u"bat", Linguaggio::Batch, false}, {u"cmd", Linguaggio::Batch, false},
    };
    for (const Voce &v : tabella)
        if (estensione == QStringView(v.estensione)) return {v.linguaggio, v.intestazione};
    return {};
}

QString ChiaveLinguaggio(Linguaggio linguaggio)
{
    switch (linguaggio) {
    case Linguaggio::Basic:
        return QStringLiteral("basic");
    case Linguaggio::C:
        return QStringLiteral("c");
    case Linguaggio::Cpp:
        return QStringLiteral("cpp");
    case Linguaggio::Batch:
        return QStringLiteral("batch");
    case Linguaggio::Nessuno:
        break;
    }
    return QString();
}

QString NomeLinguaggio(Linguaggio linguaggio)
{
    switch (linguaggio) {
    case Linguaggio::Basic:
        return QStringLiteral("BASIC");
    case Linguaggio::C:
        return QStringLiteral("C");
    case Linguaggio::Cpp:
        return QStringLiteral("C++");
    case Linguaggio::Batch:
        return QStringLiteral("Batch");
    case Linguaggio::Nessuno:
        break;
    }
    return QStringLiteral("Nessuno");
}
