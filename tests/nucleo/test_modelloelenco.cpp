// The rows of the list being edited: loading, the factory rows, moves,
// refused rows, the changed mark and saving.

#include "aiuti/ModelliRiferimento.h"
#include "aiuti/Tabella.h"
#include "nucleo/ModelloElenco.h"
#include "nucleo/testo/CodificaAnsi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Elenco)

namespace {

// A list folder holding `dati` as the list's file, opened.
struct Cartella
{
    QTemporaryDir dir;
    ArchivioListe liste{dir.path()};
    Cartella(Elenco elenco, const QByteArray &dati)
    {
        QFile f(liste.Percorso(elenco));
        if (f.open(QIODevice::WriteOnly)) f.write(dati);
        f.close();
        liste.Apri(elenco);
    }
    QByteArray File(Elenco elenco) const
    {
        QFile f(liste.Percorso(elenco));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QStringList Righe(const ModelloElenco &m)
{
    QStringList righe;
    for (int i = 0; i < m.NumeroRighe(); ++i)
        righe.append(m.Testo(i, 0) + u'|' + m.Testo(i, 1));
    return righe;
}

QByteArray Sostituzioni(const QVector<VoceSostituzione> &voci)
{
    return Record::Unisci(voci);
}

} // namespace

class TestModelloElenco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What an editor shows of a file: trimmed rows; no row without a
    // replacement (substitutions) or without a word (eliminations).
    void carica_data()
    {
        Colonne<Elenco, QByteArray, QStringList>("elenco", "dati", "righe");
        Riga("sostituzioni rifilate, senza sostituto nascoste", Elenco::Sostituzioni,
             Sostituzioni({{u"  If "_s, u" Se  "_s},
                           {u"Then"_s, {}},
                           {{}, u"vuota"_s},
                           {u"\tFor"_s, u"Per"_s}}),
             QStringList{"If|Se", "|vuota", "\tFor|Per"});
        Riga("eliminazioni: Sì/No dal testo, senza parola nascoste", Elenco::Eliminazioni,
             Record::Unisci(QVector<VoceEliminazione>{
                 {u" Unload "_s, u"Sì"_s, 0}, {{}, u"Sì"_s, 1}, {u"#"_s, u"No"_s, 1}}),
             QStringList{"Unload|Sì", "#|No"});
        Riga("record danneggiato senza sostituto", Elenco::Sostituzioni,
             QByteArray(QByteArray::fromHex("FFFF") + QByteArray(200, 'A') +
                        QByteArray::fromHex("0300")),
             QStringList());
    }
    void carica()
    {
        const auto [elenco, dati, righe] =
            DatiRiga<Elenco, QByteArray, QStringList>("elenco", "dati", "righe");
        Cartella c(elenco, dati);
        ModelloElenco m(c.liste, elenco);
        QCOMPARE(m.Carica().numero, 0);
        QCOMPARE(Righe(m), righe);
        QVERIFY(!m.Modificato());
        QCOMPARE(m.rowCount(), righe.size());
    }

    // Saving writes the rows as records, trimmed rows included; the factory
    // rows are written byte for byte.
    void salva_data()
    {
        // ultima: the last row shown before saving
        Colonne<Elenco, QByteArray, bool, QString, QByteArray>("elenco", "dati", "predefiniti",
                                                               "ultima", "atteso");
        QByteArray sost;
        for (const auto &v : SostituzioniPredefinite())
            sost += Modello::RecordLetterale(
                {CodificaAnsi::Codifica(v.Trova), CodificaAnsi::Codifica(v.Sostituisci)}, {});
        QByteArray elim;
        for (const char *p : {"vbInformation", "vbExclamation", ".SetFocus", "vbYesNo", ".Show",
                              ".Clear", ".TabIndex", "Unload"})
            elim += Modello::RecordLetterale({p, "S\xEC"}, {1});
        elim += Modello::RecordLetterale({"#", "No"}, {0});
        Riga("sostituzioni predefinite", Elenco::Sostituzioni, QByteArray(), true, "Not|Non è",
             sost);
        Riga("eliminazioni predefinite", Elenco::Eliminazioni, QByteArray(), true, "#|No", elim);
        Riga("rifilate, senza sostituto tolte", Elenco::Sostituzioni,
             Sostituzioni({{u"  If "_s, u" Se  "_s},
                           {u"Then"_s, {}},
                           {{}, u"vuota"_s},
                           {u"\tFor"_s, u"Per"_s}}),
             false, "\tFor|Per",
             QByteArray(Modello::RecordLetterale({"If", "Se"}, {}) +
                        Modello::RecordLetterale({"", "vuota"}, {}) +
                        Modello::RecordLetterale({"\tFor", "Per"}, {})));
    }
    void salva()
    {
        const auto [elenco, dati, predefiniti, ultima, atteso] =
            DatiRiga<Elenco, QByteArray, bool, QString, QByteArray>("elenco", "dati", "predefiniti",
                                                                    "ultima", "atteso");
        Cartella c(elenco, dati);
        ModelloElenco m(c.liste, elenco);
        m.Carica();
        if (predefiniti) m.Predefiniti();
        QCOMPARE(Righe(m).last(), ultima);
        QCOMPARE(m.UgualeAlFile(), false);
        QCOMPARE(m.Salva().tipo, ModelloElenco::EsitoSalvataggio::Tipo::Salvato);
        QCOMPARE(c.File(elenco), atteso);
        QVERIFY(!m.Modificato());
        QVERIFY(m.UgualeAlFile());
        // The empty word is not an entry a run walks.
        if (elenco == Elenco::Sostituzioni) QCOMPARE(c.liste.NumeroVoci(), predefiniti ? 8 : 2);
    }

    // The arrows swap a row with its neighbour; at either end nothing moves.
    void sposta_data()
    {
        // nuova: -1: nothing moved
        Colonne<int, bool, int, QStringList>("riga", "su", "nuova", "righe");
        const QStringList iniziale{"If|Se", "Then|Allora", "For|Per"};
        Riga("prima su: niente", 0, true, -1, iniziale);
        Riga("ultima giù: niente", 2, false, -1, iniziale);
        Riga("seconda su", 1, true, 0, QStringList{"Then|Allora", "If|Se", "For|Per"});
        Riga("prima giù", 0, false, 1, QStringList{"Then|Allora", "If|Se", "For|Per"});
        Riga("seconda giù", 1, false, 2, QStringList{"If|Se", "For|Per", "Then|Allora"});
    }
    void sposta()
    {
        const auto [riga, su, nuova, righe] =
            DatiRiga<int, bool, int, QStringList>("riga", "su", "nuova", "righe");
        Cartella c(
            Elenco::Sostituzioni,
            Sostituzioni({{u"If"_s, u"Se"_s}, {u"Then"_s, u"Allora"_s}, {u"For"_s, u"Per"_s}}));
        ModelloElenco m(c.liste, Elenco::Sostituzioni);
        m.Carica();
        const std::optional<int> esito = su ? m.SpostaSu(riga) : m.SpostaGiu(riga);
        QCOMPARE(esito.value_or(-1), nuova);
        QCOMPARE(Righe(m), righe);
        QCOMPARE(m.Modificato(), nuova >= 0);
    }

    // Entries brought in (a language's list, an imported file) replace the
    // rows, or only those whose word is missing, case aside, against the rows
    // and against earlier entries brought in, are added at the end.
    void unisci_data()
    {
        Colonne<Elenco, bool, QStringList>("elenco", "aggiungi", "righe");
        const auto S = Elenco::Sostituzioni, E = Elenco::Eliminazioni;
        Riga("sostituisce", S, false, QStringList{"IF|X", "Città|a", "CITTÀ|b"});
        Riga("aggiunge le mancanti", S, true, QStringList{"if|se", "Città|a"});
        Riga("eliminazioni, aggiunge", E, true, QStringList{"if|Sì", "Città|No"});
    }
    void unisci()
    {
        const auto [elenco, aggiungi, righe] =
            DatiRiga<Elenco, bool, QStringList>("elenco", "aggiungi", "righe");
        Cartella c(elenco, {});
        ModelloElenco m(c.liste, elenco);
        m.Carica();
        const auto modo =
            aggiungi ? ModelloElenco::Unione::AggiungiMancanti : ModelloElenco::Unione::Sostituisci;
        if (elenco == Elenco::Sostituzioni) {
            m.Aggiungi({u"if"_s, u"se"_s, false});
            m.Unisci(QVector<VoceSostituzione>{{u"IF"_s, u"X"_s},
                                               {u"Città"_s, u"a"_s},
                                               {u"CITTÀ"_s, u"b"_s}},
                     modo);
        } else {
            m.Aggiungi({u"if"_s, {}, true});
            m.Unisci(QVector<VoceEliminazione>{{u"IF"_s, TestoNo, 0},
                                               {u"Città"_s, TestoNo, 0},
                                               {u"CITTÀ"_s, TestoSi, 1}},
                     modo);
        }
        QCOMPARE(Righe(m), righe);
        QVERIFY(m.Modificato());
    }

    // A new row whose word is there in any case, or a row no record can hold,
    // is refused with the reason; an edited row is not checked for duplicates.
    void rifiuto_data()
    {
        // motivo: contained in the reason; empty: taken
        Colonne<Elenco, QString, QString, bool, bool, QString>("elenco", "parola", "sostituzione",
                                                               "intera", "nuova", "motivo");
        const auto S = Elenco::Sostituzioni, E = Elenco::Eliminazioni;
        Riga("if contro If", S, u"if"_s, u"se"_s, false, true,
             u"Esiste già 'if' nella lista delle sostituzioni!"_s);
        Riga("È contro è", S, u"È"_s, u""_s, false, true,
             u"Esiste già 'È' nella lista delle sostituzioni!"_s);
        Riga("If con uno spazio è un'altra parola", S, u"If "_s, u"Se"_s, false, true, QString());
        Riga("modifica senza controllo duplicati", S, u"If"_s, u"Se!"_s, false, false, QString());
        Riga("UNLOAD contro Unload", E, u"UNLOAD"_s, QString(), false, true,
             u"Esiste già 'UNLOAD' nella lista delle eliminazioni!"_s);
        Riga("oltre 124 caratteri", S, QString(100, u'a'), QString(25, u'b'), false, true,
             u"124"_s);
        Riga("fuori da Windows-1252", S, u"Ω"_s, u"omega"_s, false, true, u"Windows-1252"_s);
        Riga("eliminazione intera oltre 120", E, QString(121, u'x'), QString(), true, true,
             u"120"_s);
        Riga("eliminazione intera di 120", E, QString(120, u'x'), QString(), true, true, QString());
    }
    void rifiuto()
    {
        const auto [elenco, parola, sostituzione, intera, nuova, motivo] =
            DatiRiga<Elenco, QString, QString, bool, bool, QString>(
                "elenco", "parola", "sostituzione", "intera", "nuova", "motivo");
        const QByteArray dati =
            elenco == Elenco::Sostituzioni
                ? Sostituzioni({{u"If"_s, u"Se"_s}, {u"è"_s, u"x"_s}})
                : Record::Unisci(QVector<VoceEliminazione>{{u"Unload"_s, u"Sì"_s, 1}});
        Cartella c(elenco, dati);
        ModelloElenco m(c.liste, elenco);
        m.Carica();
        const QString esito = m.Rifiuto({parola, sostituzione, intera}, nuova);
        if (motivo.isEmpty())
            QCOMPARE(esito, QString());
        else
            QVERIFY2(esito.contains(motivo), qPrintable(esito));
    }

    // A damaged file can hold a word longer than a record takes when saved:
    // the save is refused, naming the row, and the file stays as it is.
    void rigaTroppoLungaNonSiSalva()
    {
        const QByteArray danneggiato = Record::Codifica(EliminazioniPredefinite().first()) +
                                       QByteArray::fromHex("7C00") + QByteArray(124, 'z') +
                                       QByteArray(2, '\0');
        Cartella c(Elenco::Eliminazioni, danneggiato);
        ModelloElenco m(c.liste, Elenco::Eliminazioni);
        m.Carica();
        const auto esito = m.Salva();
        QCOMPARE(esito.tipo, ModelloElenco::EsitoSalvataggio::Tipo::RigaNonContenibile);
        QCOMPARE(esito.riga, 2);
        QCOMPARE(m.Testo(1, 0), QString(124, u'z'));
        QCOMPARE(c.File(Elenco::Eliminazioni), danneggiato);
    }

    // The flag is a value of the row, shown as "Sì"/"No"; edits and removals
    // mark the rows changed.
    void modificheEColonne()
    {
        Cartella c(Elenco::Eliminazioni, {});
        ModelloElenco m(c.liste, Elenco::Eliminazioni);
        m.Carica();
        m.Aggiungi({u"Unload"_s, {}, true});
        m.Aggiungi({u"#"_s, {}, false});
        QVERIFY(m.Modificato());
        QCOMPARE(Righe(m), (QStringList{"Unload|Sì", "#|No"}));
        QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), u"Cerca solo parola intera"_s);
        m.Imposta(1, {u"#"_s, {}, true});
        QVERIFY(m.Riga(1).parolaIntera);
        m.Rimuovi(0);
        QCOMPARE(Righe(m), QStringList{"#|Sì"});
        QCOMPARE(m.Eliminazioni(), (QVector<VoceEliminazione>{{u"#"_s, u"Sì"_s, 1}}));
        m.SvuotaTutto();
        QCOMPARE(m.NumeroRighe(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModelloElenco)
#include "test_modelloelenco.moc"
