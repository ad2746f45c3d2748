// The untranslated-words window: its rows on small texts of each kind, and
// adding a translation from it to the substitution list file.

#include "aiuti/AmbienteProva.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraParole.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraVoce.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Piattaforma;

namespace {

const QString Modulo =
    QStringLiteral("Attribute VB_Name = \"Contesto\"\r\n"
                   "Option Explicit\r\n"
                   "' Dim in a comment, If Then\r\n"
                   "Public Function Somma(ByVal a As Integer, ByVal b As Integer) As Integer\r\n"
                   "\tDim c As Integer\r\n"
                   "\tIf a > b Then c = a Else c = b\r\n"
                   "\tSomma = c + \"End If\"\r\n"
                   "End Function\r\n");

const QVector<VoceSostituzione> ElencoProva = {
    {QStringLiteral("If"), QStringLiteral("Se")},
    {QStringLiteral("Then"), QStringLiteral("Allora")},
    {QStringLiteral("else"), QStringLiteral("Altrimenti")}};

const QString CTabulato =
    QStringLiteral("int f(void)\n{\n\tif (a)\n\t\tb();\n\telse\n\t\tc();\n}\n");
const QString DopoTabulazione =
    QStringLiteral("dopo una tabulazione: attiva «Separatori del codice»");

// The rows as "word=count", separated by spaces; "(reason)" after a word the
// list has an entry for.
QString Righe(const FinestraParole &f)
{
    QStringList righe;
    for (int i = 1; i <= f.NumeroRighe(); ++i) {
        const QString motivo = f.Testo(i, 2);
        righe << f.Testo(i, 0) + QLatin1Char('=') + f.Testo(i, 1) +
                     (motivo == u"nessuna voce nell'elenco" ? QString() : u'(' + motivo + u')');
    }
    return righe.join(QLatin1Char(' '));
}

} // namespace

class TestParole : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    FinestraPrincipale &Prepara(const QString &nomeFile, const QString &testo,
                                bool separatori = false)
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(ElencoProva);
        FinestraPrincipale &form = m_amb->Avvia();
        m_amb->Condiviso().OpzioniCodice.SeparatoriCodice = separatori;
        m_amb->Condiviso().NomeFileCorrente = nomeFile;
        form.Editor()->SetText(testo);
        return form;
    }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void righe_data()
    {
        QTest::addColumn<QString>("nomeFile");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<bool>("separatori");
        auto riga = [](const char *nome, const QString &nomeFile, const QString &testo,
                       const QString &righe, const QString &titolo, bool separatori = false) {
            QTest::newRow(nome) << nomeFile << testo << righe << titolo << separatori;
        };
        riga("basic", "/p/Contesto.bas", Modulo,
             "As=4 Integer=4 ByVal=2 Function=2 Dim=1 End=1 Explicit=1 If=1(" + DopoTabulazione +
                 ") Option=1 Public=1",
             "Parole chiave BASIC senza traduzione:");
        // Tab-indented C: the list has the words, but only the code separators
        // reach them; the window says so, and with the option they are gone.
        riga("c rientrato, senza separatori", "/p/f.c", CTabulato,
             "else=1(" + DopoTabulazione + ") if=1(" + DopoTabulazione + ") int=1 void=1",
             "Parole chiave C senza traduzione:");
        // Read as code, C tells case apart: the factory list's "If" is no "if".
        riga("c rientrato, con separatori", "/p/f.c", CTabulato,
             "if=1(la voce ha altre maiuscole: in C e in C++ le maiuscole contano) int=1 void=1",
             "Parole chiave C senza traduzione:", true);
        riga("c", "/p/main.c", "#include <stdio.h>\nint main(void) { /* int */ if (1) return 0; }",
             "#include=1 int=1 return=1 void=1", "Parole chiave C senza traduzione:");
        riga("nessun linguaggio, almeno tre volte", "/p/note.txt",
             "alfa beta Alfa gamma alfa beta beta se Se SE If if", "alfa=3 beta=3 se=3",
             "Parole ripetute almeno tre volte, senza traduzione:");
        riga("tutto tradotto", "/p/a.bas", "If x Then y Else z", "",
             "Ogni parola chiave BASIC del testo ha una traduzione.");
    }
    void righe()
    {
        QFETCH(QString, nomeFile);
        QFETCH(QString, testo);
        QFETCH(QString, righe);
        QFETCH(QString, titolo);
        QFETCH(bool, separatori);
        FinestraPrincipale &form = Prepara(nomeFile, testo, separatori);
        Copione::QuandoModale([&](QDialog *d) {
            auto *f = qobject_cast<FinestraParole *>(d);
            QVERIFY(f);
            QCOMPARE(f->ElencoParole->columnCount(), 3);
            QCOMPARE(f->ElencoParole->headerItem()->text(2), QStringLiteral("Motivo"));
            QCOMPARE(Righe(*f), righe);
            QCOMPARE(f->EtichettaRiepilogo->text(), titolo);
            QCOMPARE(f->BottoneTraduci->isEnabled(), !righe.isEmpty());
            f->BottoneChiudi->click();
        });
        QCOMPARE(Comando(form, "azioneParoleNonTradotte")->text(),
                 QStringLiteral("Parole &non tradotte..."));
        Comando(form, "azioneParoleNonTradotte")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("FinestraParole")});
    }

    // Esc closes the window as "&Chiudi" does.
    void escChiude()
    {
        FinestraPrincipale &form = Prepara(QStringLiteral("a.bas"), QStringLiteral("Dim a\r\n"));
        Copione::QuandoModale([](QDialog *d) {
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(!d->isVisible());
        });
        Comando(form, "azioneParoleNonTradotte")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("FinestraParole")});
    }

    // Double-click fills the entry dialog with the word; its OK appends the
    // entry to the file, which otherwise stays as it was.
    void doppioClicAggiunge_data()
    {
        QTest::addColumn<QString>("parola"); // typed over the proposed word; empty: keep it
        QTest::addColumn<QString>("traduzione");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("messaggi"); // boxes refusing the entry
        QTest::newRow("aggiunge") << ""
                                  << "Dichiara" << true << 0;
        QTest::newRow("annulla") << ""
                                 << "Dichiara" << false << 0;
        QTest::newRow("traduzione vuota") << ""
                                          << "" << true << 1;
        QTest::newRow("parola già nell'elenco") << "IF"
                                                << "x" << true << 1;
    }
    void doppioClicAggiunge()
    {
        QFETCH(QString, parola);
        QFETCH(QString, traduzione);
        QFETCH(bool, ok);
        QFETCH(int, messaggi);
        FinestraPrincipale &form = Prepara(QStringLiteral("m.bas"), Modulo);
        Copione::Messaggi();
        const QString percorso = m_amb->Condiviso().Liste.Percorso(Elenco::Sostituzioni);
        const QByteArray prima = AmbienteProva::LeggiFile(percorso);
        FinestraParole f(form, &form);
        const QTreeWidgetItem *dim =
            f.ElencoParole->findItems(QStringLiteral("Dim"), Qt::MatchExactly).value(0);
        QVERIFY(dim);

        Copione::QuandoModale([&](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            QVERIFY(v);
            QCOMPARE(v->windowTitle(), QStringLiteral("Aggiungi"));
            QCOMPARE(v->CasellaParola->text(), QStringLiteral("Dim"));
            if (!parola.isEmpty()) v->CasellaParola->setText(parola);
            v->CasellaSostituzione->setText(traduzione);
            for (int i = 0; i < messaggi; ++i)
                Copione::RispondiMessaggio(Risposta::OK);
            if (ok) v->BottoneOk->click();
            if (v->isVisible()) v->BottoneAnnulla->click(); // a refused entry keeps it open
        });
        Q_EMIT f.ElencoParole->itemDoubleClicked(const_cast<QTreeWidgetItem *>(dim), 0);
        QCOMPARE(Copione::Messaggi().size(), messaggi);

        const bool aggiunta = ok && messaggi == 0;
        const QByteArray voce =
            Record::Codifica(VoceSostituzione{QStringLiteral("Dim"), QStringLiteral("Dichiara")});
        QCOMPARE(AmbienteProva::LeggiFile(percorso), aggiunta ? prima + voce : prima);
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), aggiunta ? 4 : 3);
        // The text's only Dim stands after a tab: with its entry it stays, now
        // for that reason.
        const QList<QTreeWidgetItem *> dims =
            f.ElencoParole->findItems(QStringLiteral("Dim"), Qt::MatchExactly);
        QCOMPARE(dims.size(), 1);
        QCOMPARE(dims.first()->text(2),
                 aggiunta ? DopoTabulazione : QStringLiteral("nessuna voce nell'elenco"));
        QCOMPARE(f.NumeroRighe(), 10);
    }

    // A word the list has opens no entry dialog: a message gives the reason
    // and the file stays as it was.
    void doppioClicSuParolaConVoce()
    {
        FinestraPrincipale &form = Prepara(QStringLiteral("f.c"), CTabulato);
        Copione::Messaggi();
        const QString percorso = m_amb->Condiviso().Liste.Percorso(Elenco::Sostituzioni);
        const QByteArray prima = AmbienteProva::LeggiFile(percorso);
        FinestraParole f(form, &form);
        const QTreeWidgetItem *se =
            f.ElencoParole->findItems(QStringLiteral("if"), Qt::MatchExactly).value(0);
        QVERIFY(se);
        Copione::RispondiMessaggio(Risposta::OK);
        Q_EMIT f.ElencoParole->itemDoubleClicked(const_cast<QTreeWidgetItem *>(se), 0);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi.first().testo,
                 "«if» ha già una voce nell'elenco; qui è rimasta " + DopoTabulazione + '.');
        QCOMPARE(AmbienteProva::LeggiFile(percorso), prima);
    }
};

QTEST_MAIN(TestParole)
#include "test_parole.moc"
