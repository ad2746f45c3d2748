// The ready lists and the factory list speak with one voice: each concept has
// one Italian term, directives read apart from statements, and the frequent
// words are there (and the ones that are names in C or batch are not).

#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The lists a concept row reads: B = BASIC, C, P = C++, T = batch, F = factory
// list.
QVector<VoceSostituzione> Liste(const QString &quali)
{
    QVector<VoceSostituzione> voci;
    if (quali.contains(u'B')) voci += ListaDelLinguaggio(Linguaggio::Basic);
    if (quali.contains(u'C')) voci += ListaDelLinguaggio(Linguaggio::C);
    if (quali.contains(u'P')) voci += ListaDelLinguaggio(Linguaggio::Cpp);
    if (quali.contains(u'T')) voci += ListaDelLinguaggio(Linguaggio::Batch);
    if (quali.contains(u'F')) voci += SostituzioniPredefinite();
    return voci;
}

} // namespace

class TestTerminiListe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The table of terms: every entry whose word matches the concept's
    // pattern (case aside) has a replacement holding the concept's term (case
    // aside, or exactly when the term starts with "="); at least one does.
    void unTerminePerConcetto_data()
    {
        QTest::addColumn<QString>("liste");
        QTest::addColumn<QString>("parole"); // pattern over the whole entry word
        QTest::addColumn<QString>("termine");
        auto riga = [](const char *concetto, const char *liste, const char *parole,
                       const char *termine) {
            QTest::newRow(concetto) << QString::fromUtf8(liste) << QString::fromUtf8(parole)
                                    << QString::fromUtf8(termine);
        };
        // "if not errorlevel n" reads as "less than n".
        riga("negazione", "BCPTF", R"((?!.*errorlevel).*\bnot\b.*)", "non");
        riga("condizione", "BCPTF", R"(#?(if|elseif|elif|ifdef|ifndef|else if)|if .*)", "se");
        riga("alternativa", "BCPT", R"(#?(else|elseif|elif|else if))", "altrimenti");
        riga("fine condizione", "BCP", R"(#?end ?if)", "fine se");
        riga("ciclo Do/Loop", "BCPF", R"(do|loop|(do|loop) .*|exit do)", "ripeti");
        riga("finché", "BF", R"(.*\buntil\b.*)", "finché");
        riga("mentre", "BCPF", R"(.*\bwhile\b.*)", "mentre");
        riga("per", "BCPTF", R"(for|for each|for /.)", "per");
        // "exit /b" and "goto :eof" leave a script or a called label: a return.
        riga("uscita", "BT", R"(exit(?! /b)( .*)?)", "esci");
        riga("uscita da un blocco", "B", R"(exit (for|do|sub|function|property))", "esci dal");
        riga("ritorno", "BCPT", R"(return|exit /b|goto :eof)", "ritorna");
        riga("scelta", "BCP", R"(select( case)?|end select|switch)", "scegli");
        riga("caso", "BCP", R"(case)", "caso");
        riga("altri casi", "BCP", R"(case else|default)", "negli altri casi");
        // Written mid-line: never "È".
        riga("è", "B", R"(is( nothing)?|is(null|empty|numeric))", "=è");
        riga("variabile", "B", R"(dim)", "variabile");
        riga("dichiarazione esterna", "B", R"(.*\bdeclare\b.*)", "estern");
        riga("caratteri di una stringa", "B", R"((left|right|mid)\$?)", "caratteri");
        riga("fine del file", "BCP", R"(eof)", "fine del file");
        riga("codice di uscita", "T", R"(.*errorlevel.*)", "codice di uscita");
        riga("richiesta", "BT", R"(inputbox|choice)", "chiedi");
        // "set /p" reads a line, from the keyboard or from a file ("<file").
        riga("lettura", "BCPT",
             R"(input\$?|line input|get|set /p|[fs]?scanf|fgets|f?getc|getchar|fread)", "leggi");
        riga("confronto", "T", R"(equ|neq|lss|leq|gtr|geq|(.*)==(.*))", "=è ");
        riga("ogni", "B", R"((for )?each)", "=ogni");
        riga("in", "BT", R"(in)", "=in");
        riga("a capo", "BP", R"(vbcrlf|vbnewline|std::endl)", "a capo");
        riga("pulsanti", "B", R"(vb(okonly|okcancel|yesno|yesnocancel))", "pulsant");
        riga("icona", "B", R"(vb(critical|exclamation|information|question))", "icona di");
        riga("impostazione", "T", R"(set|color|mode|chcp|prompt|title)", "imposta");
        riga("attesa", "T", R"(pause|timeout)", "attendi");
        riga("fine variabili locali", "T", R"(endlocal)", "chiudi le variabili locali");
        riga("procedura", "B", R"(.*\bsub\b.*)", "procedura");
        riga("funzione", "B", R"(.*\bfunction\b.*)", "funzione");
        riga("void", "CP", R"(void)", "=vuoto");
        riga("64 bit", "B", R"(.*\bptrsafe\b.*)", "a 64 bit");
        riga("oggetto corrente", "BP", R"(me|this)", "=questo oggetto");
        riga("nuovo", "BP", R"(new)", "=nuovo");
        riga("facoltativo", "B", R"(optional)", "=facoltativo");
        riga("elenco di parametri", "B", R"(paramarray)", "=elenco di parametri");
        riga("chiusura di una finestra", "B", R"(unload( me)?)", "chiudi");
        riga("cancellazione di file", "BT", R"(kill|del)", "cancella");
        riga("pubblico", "BP", R"(public)", "pubblic");
        riga("privato", "BP", R"(private)", "privat");
        riga("conversione", "P", R"(.*_cast)", "converti");
        riga("uscita standard", "CP", R"(stdout|(std::)?cout)", "uscita standard");
        riga("errore standard", "CP", R"(stderr|(std::)?cerr)", "errore standard");
        // The bounded forms read as the plain ones plus "con limite".
        riga("con limite", "CP", R"(v?snprintf|strn(cpy|cat|cmp))", "con limite");
        riga("ingresso standard", "CP", R"(stdin|(std::)?cin)", "ingresso standard");
        riga("un carattere", "CP", R"(f?putc|putchar|f?getc|getchar)", "il carattere");
        riga("messaggio di errore", "CP", R"(perror|strerror)", "messaggio di errore");
        riga("memoria", "CP", R"(mem(cpy|set|move|cmp))", "la memoria");
        riga("allocazione", "CP", R"((m|c|re)alloc)", "alloca");
        riga("liberazione della memoria", "CP", R"(free|delete)", "=libera");
        riga("conversione in intero", "CP", R"(ato[il]|strtol)", "converti in intero");
        // C and C++ read auto alike (the C++ list holds every C entry).
        riga("tipo dedotto", "CP", R"(auto)", "tipo dedotto");
        riga("definito", "CP", R"(#ifn?def|defined)", "definito");
        riga("in compilazione", "P", R"(constexpr|static_assert)", "in compilazione");
        riga("in stringa", "B", R"(c?str\$?)", "in stringa");
        riga("senza spazi", "B", R"([lr]?trim\$?)", "senza spazi");
        riga("variabili locali", "T", R"(setlocal.*)", "inizia le variabili locali");
        riga("senza maiuscole", "T", R"(if /i.*)", "senza distinguere le maiuscole");
        riga("costante", "B", R"(#?const|(public|private) const)", "costante");
        riga("lunghezza", "B", R"(lenb?)", "lunghezza");
        riga("indirizzo", "B", R"((var|str|obj)ptr)", "indirizzo");
        riga("copia", "T", R"(x?copy|robocopy)", "copia");
        riga("cancella", "T", R"(del|erase|reg delete)", "cancella");
        riga("rinomina", "T", R"(ren|rename)", "rinomina");
        riga("cartella corrente", "BT", R"(cd|chdir)", "vai alla cartella");
        riga("servizio", "T", R"(net (start|stop))", "il servizio");
        riga("registro", "T", R"(reg .*)", "registro");
        // A directive reads as one: its replacement starts with "#".
        riga("direttive", "BCP", R"(#.*)", "#");
    }
    void unTerminePerConcetto()
    {
        QFETCH(QString, liste);
        QFETCH(QString, parole);
        QFETCH(QString, termine);
        const QRegularExpression modello(QRegularExpression::anchoredPattern(parole),
                                         QRegularExpression::CaseInsensitiveOption);
        QVERIFY(modello.isValid());
        const bool esatto = termine.startsWith(u'=');
        if (esatto) termine.remove(0, 1);
        int trovate = 0;
        for (const VoceSostituzione &v : Liste(liste)) {
            if (!modello.match(v.Trova).hasMatch()) continue;
            ++trovate;
            QVERIFY2(
                v.Sostituisci.contains(termine, esatto ? Qt::CaseSensitive : Qt::CaseInsensitive),
                qPrintable(v.Trova + u" → "_s + v.Sostituisci));
            if (termine == u"#"_s) QVERIFY2(v.Sostituisci.startsWith(termine), qPrintable(v.Trova));
        }
        QVERIFY(trovate > 0);
    }

    // Words each list must hold, and words it must not: names in C (the C++
    // words) and devices in batch stay as they are written.
    void paroleDelleListe_data()
    {
        QTest::addColumn<int>("linguaggio");
        QTest::addColumn<QString>("presenti"); // separated by "|"
        QTest::addColumn<QString>("assenti");
        QTest::newRow("BASIC")
            << int(Linguaggio::Basic)
            << u"#If|#ElseIf|#Else|#End If|Left$|Mid$|String$|Chr$|Trim$|Me|Err|"
               u"IIf|On|Byte|LongPtr|PtrSafe|Int|LTrim$|RTrim$|InStrRev|CreateObject|Timer|"
               u"#Const|VarType|LenB|Space$|Any|VarPtr|In|Error$|Date$|Input$|vbNewLine|vbYes|"
               u"vbNo|vbYesNo|vbOK|vbCancel|vbCritical"_s
            << QString();
        QTest::newRow("C")
            << int(Linguaggio::C)
            << u"size_t|FILE|stderr|stdout|stdin|EOF|far|unsigned short|auto|defined|"
               u"snprintf|vsnprintf|perror|strerror|strncpy|strcat|memset|calloc|"
               u"realloc|fputs|fputc|getchar|putchar|fflush|fread|fwrite|atoi"_s
            << u"this new delete class try catch throw template namespace "
               u"virtual operator public private protected using typename"_s;
        QTest::newRow("C++") << int(Linguaggio::Cpp)
                             << u"this|new|delete|class|public|private|protected|try|catch|throw|"
                                u"template|typename|namespace|using|virtual|override|operator|"
                                u"friend|const_cast|nullptr|bool|true|false|std::string|cout|"
                                u"cin|endl|size_t|FILE|EOF|static_assert|decltype|snprintf|fputs"_s
                             << QString();
        QTest::newRow("batch")
            << int(Linguaggio::Batch)
            << u"in|find|timeout|ping|taskkill|shutdown|%errorlevel%|!errorlevel!|if "
               u"/i|color|mklink|"
               u"net start|net stop|robocopy|mode|erase|rename|chdir|==|goto %errorlevel%"_s
            << u"nul con prn aux"_s;
    }
    void paroleDelleListe()
    {
        QFETCH(int, linguaggio);
        QFETCH(QString, presenti);
        QFETCH(QString, assenti);
        // The shipped text loads whole and every entry fits its record.
        const auto esito =
            TestoElenco::LeggiSostituzioni(TestoListaDelLinguaggio(Linguaggio(linguaggio)));
        QVERIFY(esito.rifiutate.isEmpty());
        QStringList parole;
        for (const VoceSostituzione &v : esito.voci) {
            QVERIFY2(Record::MotivoNonContenibile(v).isEmpty(), qPrintable(v.Trova));
            parole << v.Trova;
        }
        for (const QString &p : presenti.split(u'|'))
            QVERIFY2(parole.contains(p), qPrintable(p));
        for (const QString &p : assenti.split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(!parole.contains(p, Qt::CaseInsensitive), qPrintable(p));
    }

    // C++ reads every C entry as C does: the C++ list only adds to the C one.
    void cppComprendeC()
    {
        const QVector<VoceSostituzione> cpp = ListaDelLinguaggio(Linguaggio::Cpp);
        for (const VoceSostituzione &v : ListaDelLinguaggio(Linguaggio::C))
            QVERIFY2(cpp.contains(v), qPrintable(v.Trova));
    }

    // A type-suffixed function reads like the function without its suffix.
    void suffissiComeLaFunzione()
    {
        const QVector<VoceSostituzione> voci = ListaDelLinguaggio(Linguaggio::Basic);
        int suffissi = 0;
        for (const VoceSostituzione &v : voci) {
            if (!v.Trova.endsWith(u'$') || v.Trova == u"String$"_s) continue;
            ++suffissi;
            const QString base = v.Trova.chopped(1);
            const auto voce =
                std::find_if(voci.cbegin(), voci.cend(),
                             [&](const VoceSostituzione &b) { return b.Trova == base; });
            QVERIFY2(voce != voci.cend(), qPrintable(base));
            QCOMPARE(v.Sostituisci, voce->Sostituisci);
        }
        QVERIFY(suffissi >= 5);
    }
};

QTEST_GUILESS_MAIN(TestTerminiListe)
#include "test_terminiliste.moc"
