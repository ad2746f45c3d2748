#include "Opzioni.h"

#include "nucleo/testo/FileRegolare.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QStringDecoder>
#include <cerrno>

namespace {

const QString Sezione = QStringLiteral("[Opzioni]");
const QString ChiaveLascia = QStringLiteral("LasciaIntattiCommentiEStringhe");
const QString ChiaveSeparatori = QStringLiteral("SeparatoriDelCodice");
const QString ChiaveElencoLinguaggio = QStringLiteral("ElencoPerLinguaggio");
const QString ChiaveConservaOriginale = QStringLiteral("ConservaCopiaOriginale");

// A real options file is a few dozen bytes: anything far larger is not one.
constexpr qint64 DimensioneMassima = 64 * 1024;

} // namespace

namespace FileOpzioni {

QString Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("opzioni.ini"));
}

QByteArray Testo(const Opzioni &opzioni)
{
    const auto riga = [](const QString &chiave, bool valore) {
        return chiave + (valore ? QStringLiteral("=1\n") : QStringLiteral("=0\n"));
    };
    QString testo = Sezione + QLatin1Char('\n') + riga(ChiaveLascia, opzioni.LasciaIntatti) +
                    riga(ChiaveSeparatori, opzioni.SeparatoriCodice);
    if (opzioni.ElencoPerLinguaggio) testo += riga(ChiaveElencoLinguaggio, true);
    if (!opzioni.ConservaOriginale) testo += riga(ChiaveConservaOriginale, false);
    return testo.toUtf8();
}

Opzioni DaTesto(QByteArrayView testo, QString *danno)
{
    QStringDecoder decodifica(QStringDecoder::Utf8);
    const QString righe = decodifica(testo);
    if (decodifica.hasError()) {
        if (danno) *danno = QStringLiteral("Non è un testo UTF-8");
        return {};
    }
    Opzioni letto;
    int numero = 0;
    for (QStringView riga : QStringView(righe).split(u'\n')) {
        ++numero;
        // The line that makes the text damaged, as the user can find it.
        const auto dannoso = [&, intera = riga.trimmed()] {
            if (danno)
                *danno = QStringLiteral("La riga %1 non si legge (\"%2\")")
                             .arg(numero)
                             .arg(intera.left(80));
            return Opzioni{};
        };
        riga = riga.trimmed();
        if (riga.startsWith(u'\uFEFF')) riga = riga.sliced(1).trimmed();
        if (riga.isEmpty() || riga.startsWith(u';') || riga.startsWith(u'#')) continue;
        if (riga.startsWith(u'[') && riga.endsWith(u']')) {
            if (riga.compare(Sezione, Qt::CaseInsensitive) != 0) return dannoso();
            continue;
        }
        const qsizetype uguale = riga.indexOf(u'=');
        if (uguale <= 0) return dannoso();
        const QStringView chiave = riga.first(uguale).trimmed();
        const QStringView valore = riga.sliced(uguale + 1).trimmed();
        if (valore != u"0" && valore != u"1") return dannoso();
        const bool acceso = valore == u"1";
        if (chiave.compare(ChiaveLascia, Qt::CaseInsensitive) == 0)
            letto.LasciaIntatti = acceso;
        else if (chiave.compare(ChiaveSeparatori, Qt::CaseInsensitive) == 0)
            letto.SeparatoriCodice = acceso;
        else if (chiave.compare(ChiaveElencoLinguaggio, Qt::CaseInsensitive) == 0)
            letto.ElencoPerLinguaggio = acceso;
        else if (chiave.compare(ChiaveConservaOriginale, Qt::CaseInsensitive) == 0)
            letto.ConservaOriginale = acceso;
    }
    return letto;
}

Opzioni Leggi(const QString &cartella, ErroreFile *errore)
{
    ErroreFile perche;
    const std::optional<QByteArray> dati =
        FileRegolare::Leggi(Percorso(cartella), DimensioneMassima, &perche);
    if (!dati) {
        if (errore && perche.numero != ENOENT) *errore = std::move(perche);
        return {};
    }
    QString danno;
    const Opzioni letto = DaTesto(*dati, &danno);
    if (errore && !danno.isEmpty()) *errore = {EINVAL, danno};
    return letto;
}

bool Scrivi(const QString &cartella, const Opzioni &opzioni, ErroreFile *errore)
{
    return ScritturaAtomica::Scrivi(Percorso(cartella), Testo(opzioni),
                                    ScritturaAtomica::Modo::SoloAtomica, errore);
}

} // namespace FileOpzioni
