// Telling a list file's format from its bytes: records, text, or neither.

#include "aiuti/Tabella.h"
#include "nucleo/elenchi/FormatoElenco.h"
#include "nucleo/elenchi/VociElenco.h"

#include <QTest>

using namespace Qt::StringLiterals;
using FormatoElenco::Tipo;

Q_DECLARE_METATYPE(std::optional<FormatoElenco::Tipo>)

class TestFormatoElenco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "tipo" empty: neither, refused with "motivo" (a part of it); "difetti":
    // what a note about the same bytes read as records says.
    void riconosci_data()
    {
        Colonne<QByteArray, std::optional<Tipo>, QString, QString>("dati", "tipo", "motivo",
                                                                   "difetti");
        const QByteArray record = Record::Unisci(
            QVector<VoceSostituzione>{{u"If"_s, u"Se"_s}, {u"Then"_s, u"Allora\r\n"_s}});
        Riga("record", record, std::optional(Tipo::Record), QString(), QString());
        Riga("record incompleto", record.chopped(100), std::optional<Tipo>(),
             u"i suoi 156 byte non sono un numero intero di record da 128"_s,
             u"finisce con un record incompleto (28 byte)"_s);
        QByteArray lungo = record;
        lungo[Record::Lunghezza] = '\x7F'; // the second record's word runs past it
        Riga("campo oltre il record", lungo, std::optional<Tipo>(),
             u"il record 2 non si legge come testo"_s,
             u"il record 2 ha campi che non si leggono come testo"_s);
        QByteArray nullo = record;
        nullo[3] = '\0'; // inside "If"
        Riga("byte nullo in un campo", nullo, std::optional<Tipo>(),
             u"il record 1 non si legge come testo"_s,
             u"il record 1 ha campi che non si leggono come testo"_s);
        Riga("testo", "If\tSe\nThen\tAllora è\n"_ba, std::optional(Tipo::Testo), QString(),
             u"finisce con un record incompleto (21 byte)"_s);
        // A text the size of a record is still a text: its "length fields" run past it.
        Riga("testo lungo un record", QByteArray("If\tSe\n").leftJustified(128, 'x'),
             std::optional(Tipo::Testo), QString(),
             u"il record 1 ha campi che non si leggono come testo"_s);
        Riga("testo con un byte nullo", QByteArray("If\tSe\nThen\0\n", 12), std::optional<Tipo>(),
             u"né un testo (ha un byte nullo alla riga 2)"_s,
             u"finisce con un record incompleto (12 byte)"_s);
        Riga("non UTF-8", "If\tS\xE9\n"_ba, std::optional<Tipo>(), u"(non è UTF-8)"_s,
             u"finisce con un record incompleto (6 byte)"_s);
    }

    void riconosci()
    {
        const auto [dati, tipo, motivo, difetti] =
            DatiRiga<QByteArray, std::optional<Tipo>, QString, QString>("dati", "tipo", "motivo",
                                                                        "difetti");
        const FormatoElenco::Esito esito = FormatoElenco::Riconosci(dati);
        QCOMPARE(esito.tipo, tipo);
        QVERIFY2(tipo ? esito.motivo.isEmpty()
                      : esito.motivo.startsWith(u"non è un elenco: "_s) &&
                            esito.motivo.contains(motivo),
                 qPrintable(esito.motivo));
        QCOMPARE(FormatoElenco::DifettiRecord(dati), difetti);
    }
};

QTEST_GUILESS_MAIN(TestFormatoElenco)
#include "test_formatoelenco.moc"
