// The program as the desktop starts it: the titles the window manager gets, a
// file named on the command line, files and text dropped on the window, and
// where the about window finds the credits file.

#include "aiuti/AmbienteProva.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraElenco.h"
#include "finestre/FinestraInformazioni.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraPseudocodifica.h"
#include "finestre/FinestraTrova.h"
#include "piattaforma/Icone.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <unistd.h>

using namespace Piattaforma;
using namespace Qt::Literals::StringLiterals;

namespace {

// The title the window manager gets for `finestra`: Qt's platform layer adds
// " — " and the application display name, when one was set, to every title
// that does not already end with it.
QString TitoloPerIlGestore(QWidget *finestra)
{
    QWindow *w = finestra->windowHandle();
    if (!w) return u"<nessuna finestra nativa>"_s;
    const QString nome = QGuiApplication::applicationDisplayName();
    if (nome == QCoreApplication::applicationName() || w->title().endsWith(nome)) return w->title();
    return w->title() + u" — "_s + nome;
}

// Drags `dati` over `bersaglio` and drops them there, offering copy and move;
// returns the action the drop was accepted with (IgnoreAction when refused).
Qt::DropAction Trascina(QWidget *bersaglio, QMimeData *dati)
{
    const QPointF punto(5, 5);
    const Qt::DropActions azioni = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent entra(punto.toPoint(), azioni, dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bersaglio, &entra);
    QDragMoveEvent muove(punto.toPoint(), azioni, dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bersaglio, &muove);
    QDropEvent lascia(punto, azioni, dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bersaglio, &lascia);
    QCoreApplication::processEvents(); // the file opens once the drop is over
    return lascia.isAccepted() ? lascia.dropAction() : Qt::IgnoreAction;
}

} // namespace

class TestAvvio : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    FinestraPrincipale &Prepara()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        FinestraPrincipale &f = m_amb->Avvia();
        f.show();
        return f;
    }
    QString P(const QString &nome) const { return m_amb->Percorso(nome); }

private Q_SLOTS:
    void initTestCase()
    {
        // The settings the program starts with.
        PreparaApplicazione(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    }

    void cleanup()
    {
        if (m_amb) VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    // Icons no one has drawn yet are not made at start-up (the menu bar's
    // overflow button would load every image plug-in); drawn, they are the
    // pictures they always were.
    void iconeDifferite()
    {
        int fatte = 0;
        const QIcon differita = Icone::Differita([&] {
            ++fatte;
            return Icone::Riga();
        });
        const QIcon copia = differita;
        QVERIFY(!copia.isNull());
        QCOMPARE(fatte, 0);
        QCOMPARE(copia.pixmap(16).toImage(), Icone::Riga().pixmap(16).toImage());
        QCOMPARE(differita.availableSizes(), Icone::Riga().availableSizes());
        QCOMPARE(fatte, 1);

        FinestraPrincipale &f = Prepara();
        const auto *oltre = f.findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        const auto *stile = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(oltre && stile);
        const QIcon originale =
            stile->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QCOMPARE(oltre->icon().pixmap(16).toImage(), originale.pixmap(16).toImage());
    }

    void titoliPerIlGestoreDiFinestre()
    {
        FinestraPrincipale &f = Prepara();
        QStringList visti{TitoloPerIlGestore(&f)};
        for (const char *comando : {"azioneTrova", "azioneSostituisciParola"}) {
            Comando(f, comando)->trigger();
            visti << TitoloPerIlGestore(f.DialogoTrova());
            f.DialogoTrova()->BottoneChiudi->click();
        }
        // Each list editor, and from it the entry dialog.
        for (QAction *menu : {Comando(f, "azioneSostituzioni"), Comando(f, "azionePulizia")}) {
            Copione::QuandoModale([&](QDialog *d) {
                visti << TitoloPerIlGestore(d);
                auto *elenco = qobject_cast<FinestraElenco *>(d);
                Copione::QuandoModale([&](QDialog *voce) {
                    visti << TitoloPerIlGestore(voce);
                    voce->reject();
                });
                elenco->BottoneAggiungi->click();
                elenco->BottoneChiudi->click();
            });
            menu->trigger();
        }
        Copione::QuandoModale([&](QDialog *d) {
            visti << TitoloPerIlGestore(d);
            d->accept();
        });
        Comando(f, "azioneInformazioni")->trigger();
        f.Editor()->SetText(u"If a Then"_s);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        visti << TitoloPerIlGestore(f.FinestraPseudocodificaAperta());
        Copione::ModaliMostrati();
        Copione::Messaggi();
        // A real message box, closed as soon as it is up.
        Copione::Disattiva();
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(qobject_cast<QMessageBox *>(box));
            visti << TitoloPerIlGestore(box);
            box->close();
        });
        MessageBox(&f, u"Testo"_s, Pulsanti::OK, Icona::Informazione, u"Salva con nome"_s);
        Copione::Attiva();
        QCOMPARE(visti,
                 (QStringList{u"Quadrivo"_s, u"Trova"_s, u"Sostituisci"_s, u"Elenco sostituzioni"_s,
                              u"Aggiungi"_s, u"Elenco eliminazioni"_s, u"Aggiungi"_s,
                              u"Informazioni su..."_s, u"Pseudocodificazione in corso..."_s,
                              u"Salva con nome"_s}));
    }

    // `@` stands for the test folder. Why each kind of path cannot be read is
    // checked on the document.
    void rigaDiComando_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("errore");
        const QString aperto = u"If a Then"_s, nomeAperto = u"@/a.bas"_s, nessuno;
        QTest::newRow("percorso") << QStringList{u"@/a.bas"_s} << aperto << nomeAperto << nessuno;
        QTest::newRow("relativo") << QStringList{u"a.bas"_s} << aperto << nomeAperto << nessuno;
        QTest::newRow("indirizzo file:")
            << QStringList{u"file://@/a%20b.bas"_s} << u"a b"_s << u"@/a b.bas"_s << nessuno;
        QTest::newRow("dopo --") << QStringList{u"--"_s, u"@/a.bas"_s} << aperto << nomeAperto
                                 << nessuno;
        QTest::newRow("nessun file") << QStringList{} << nessuno << nessuno << nessuno;
        QTest::newRow("mancante") << QStringList{u"@/manca.bas"_s} << nessuno << nessuno
                                  << u"File o cartella inesistente"_s;
        QTest::newRow("senza permessi")
            << QStringList{u"@/chiuso.bas"_s} << nessuno << nessuno << u"Permesso negato"_s;
    }

    void rigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, testo);
        QFETCH(QString, nome);
        QFETCH(QString, errore);
        if (errore == u"Permesso negato"_s && geteuid() == 0)
            QSKIP("l'amministratore legge anche i file senza permessi");
        FinestraPrincipale &f = Prepara();
        m_amb->ScriviFile(u"a.bas"_s, "If a Then");
        m_amb->ScriviFile(u"a b.bas"_s, "a b");
        m_amb->ScriviFile(u"chiuso.bas"_s, "segreto");
        QFile::setPermissions(P(u"chiuso.bas"_s), {});
        for (QString &a : argomenti)
            a.replace(u'@', m_amb->Cartella());
        const QString prima = QDir::currentPath();
        QDir::setCurrent(m_amb->Cartella());
        if (!errore.isEmpty()) Copione::RispondiMessaggio(Risposta::OK);
        f.ApriArgomenti(argomenti);
        QDir::setCurrent(prima);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), errore.isEmpty() ? 0 : 1);
        if (!errore.isEmpty()) {
            QVERIFY2(messaggi[0].testo.startsWith(u"Errore: "_s + errore + u"  ("_s),
                     qPrintable(messaggi[0].testo));
            // ... naming the file it could not open.
            QVERIFY2(messaggi[0].testo.contains(u")\r\nFile: \""_s + m_amb->Cartella()),
                     qPrintable(messaggi[0].testo));
            QCOMPARE(messaggi[0].icona, Icona::Critico);
        }
        QCOMPARE(f.Editor()->Text(), testo);
        QCOMPARE(m_amb->Condiviso().NomeFileCorrente, nome.replace(u'@', m_amb->Cartella()));
        QVERIFY(!m_amb->Condiviso().TestoModificato);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
        QVERIFY(!HaPuntatoreOccupato(&f));
        QCOMPARE(Copione::Dialoghi().size(), 0);
    }

    // A dropped file opens as with "&Apri...": a modified text is offered for saving first.
    void fileTrascinato_data()
    {
        QTest::addColumn<bool>("sullEditor");
        QTest::addColumn<bool>("conTesto"); // file managers add the path as text too
        QTest::addColumn<QList<Risposta>>("risposte");
        QTest::addColumn<QString>("atteso");
        const QString aperto = u"If a Then"_s;
        QTest::newRow("sull'editor") << true << false << QList<Risposta>{} << aperto;
        QTest::newRow("sulla finestra") << false << false << QList<Risposta>{} << aperto;
        QTest::newRow("con il percorso come testo") << true << true << QList<Risposta>{} << aperto;
        QTest::newRow("modificato, No") << true << false << QList{Risposta::No} << aperto;
        QTest::newRow("modificato, Annulla")
            << true << false << QList{Risposta::Annulla} << u"scritto"_s;
    }

    void fileTrascinato()
    {
        QFETCH(bool, sullEditor);
        QFETCH(bool, conTesto);
        QFETCH(QList<Risposta>, risposte);
        QFETCH(QString, atteso);
        FinestraPrincipale &f = Prepara();
        m_amb->ScriviFile(u"a.bas"_s, "If a Then");
        if (!risposte.isEmpty()) {
            f.Editor()->SetText(u"scritto"_s);
            m_amb->Condiviso().TestoModificato = true;
        }
        for (Risposta r : risposte)
            Copione::RispondiMessaggio(r);
        QMimeData dati;
        dati.setUrls({QUrl::fromLocalFile(P(u"a.bas"_s))});
        if (conTesto) dati.setText(P(u"a.bas"_s));
        // Taken as a copy: a move would let the source delete its file.
        QCOMPARE(Trascina(sullEditor ? f.Editor()->viewport() : static_cast<QWidget *>(&f), &dati),
                 Qt::CopyAction);
        QCOMPARE(f.Editor()->Text(), atteso);
        QCOMPARE(Copione::Messaggi().size(), risposte.size());
        QCOMPARE(m_amb->Condiviso().NomeFileCorrente,
                 atteso == u"scritto"_s ? QString() : P(u"a.bas"_s));
    }

    void testoTrascinato()
    {
        FinestraPrincipale &f = Prepara();
        QMimeData dati;
        dati.setText(u"Allora"_s);
        QVERIFY(Trascina(f.Editor()->viewport(), &dati) != Qt::IgnoreAction);
        QCOMPARE(f.Editor()->Text(), u"Allora"_s);
        QVERIFY(m_amb->Condiviso().TestoModificato);
        QVERIFY(m_amb->Condiviso().NomeFileCorrente.isEmpty());
    }

    void percorsoCrediti_data()
    {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QString>("atteso");
        const QString accanto = u"bin/crediti.html"_s;
        const QString installato = u"share/quadrivo/crediti.html"_s;
        QTest::newRow("accanto al programma") << QStringList{accanto, installato} << accanto;
        QTest::newRow("installato") << QStringList{installato} << installato;
        QTest::newRow("nessuno") << QStringList{} << accanto;
    }

    void percorsoCrediti()
    {
        QFETCH(QStringList, file);
        QFETCH(QString, atteso);
        QTemporaryDir radice;
        QDir(radice.path()).mkpath(u"bin"_s);
        for (const QString &nome : file) {
            QDir(radice.path()).mkpath(QFileInfo(nome).path());
            QFile(radice.filePath(nome)).open(QIODevice::WriteOnly);
        }
        const FinestraInformazioni finestra(radice.filePath(u"bin"_s), nullptr);
        QCOMPARE(finestra.PercorsoCrediti(), radice.filePath(atteso));
    }
};

QTEST_MAIN(TestAvvio)
#include "test_avvio.moc"
