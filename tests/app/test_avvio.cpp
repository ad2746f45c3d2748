// The program as the desktop starts it: the titles the window manager gets, a
// file named on the command line, files and text dropped on the window, and
// where the about window finds the credits file.

#include "aiuti/AmbienteProva.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "app/frmInfo.h"
#include "lists/FinestraElenco.h"
#include "platform/Icone.h"
#include "pseudo/frmPseudo.h"
#include "search/frmTrova.h"

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

namespace {

// The title the window manager gets for `finestra`: Qt's platform layer adds
// " — " and the application display name, when one was set, to every title
// that does not already end with it.
QString TitoloPerIlGestore(QWidget *finestra)
{
    QWindow *w = finestra->windowHandle();
    if (!w) return QStringLiteral("<nessuna finestra nativa>");
    const QString nome = QGuiApplication::applicationDisplayName();
    if (nome == QCoreApplication::applicationName() || w->title().endsWith(nome)) return w->title();
    return w->title() + QStringLiteral(" — ") + nome;
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

    Form1 &Prepara()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = m_amb->Avvia();
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

        Form1 &f = Prepara();
        const auto *oltre = f.findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        const auto *stile = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(oltre && stile);
        const QIcon originale =
            stile->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QCOMPARE(oltre->icon().pixmap(16).toImage(), originale.pixmap(16).toImage());
    }

    void titoliPerIlGestoreDiFinestre()
    {
        Form1 &f = Prepara();
        QStringList visti{TitoloPerIlGestore(&f)};

        Comando(f, "mnuModTrova")->trigger();
        visti << TitoloPerIlGestore(f.FinestraTrova());
        f.FinestraTrova()->Command5->click();
        Comando(f, "mnuModSostP")->trigger();
        visti << TitoloPerIlGestore(f.FinestraTrova());
        f.FinestraTrova()->Command5->click();

        // Each list editor, and from it the entry dialog.
        for (QAction *menu : {Comando(f, "mnuStrumSost"), Comando(f, "mnuStrumPul")}) {
            Copione::QuandoModale([&](QDialog *d) {
                visti << TitoloPerIlGestore(d);
                auto *elenco = qobject_cast<FinestraElenco *>(d);
                Copione::QuandoModale([&](QDialog *voce) {
                    visti << TitoloPerIlGestore(voce);
                    voce->reject();
                });
                elenco->Command3->click();
                elenco->Command6->click();
            });
            menu->trigger();
        }
        Copione::QuandoModale([&](QDialog *d) {
            visti << TitoloPerIlGestore(d);
            d->accept();
        });
        Comando(f, "mnuInfoOn")->trigger();

        f.Editor()->SetText(QStringLiteral("If a Then"));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuStrumAvvia")->trigger();
        visti << TitoloPerIlGestore(f.FinestraPseudo());
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
        MessageBox(&f, QStringLiteral("Testo"), Pulsanti::OK, Icona::Informazione,
                   QStringLiteral("Salva con nome"));
        Copione::Attiva();

        QCOMPARE(visti,
                 (QStringList{QStringLiteral("Quadrivo"), QStringLiteral("Trova"),
                              QStringLiteral("Sostituisci"), QStringLiteral("Elenco sostituzioni"),
                              QStringLiteral("Aggiungi"), QStringLiteral("Elenco eliminazioni"),
                              QStringLiteral("Aggiungi"), QStringLiteral("Informazioni su..."),
                              QStringLiteral("Pseudocodificazione in corso..."),
                              QStringLiteral("Salva con nome")}));
    }

    // `@` stands for the test folder.
    void rigaDiComando_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("errore");

        const QString nessuno;
        QTest::newRow("percorso") << QStringList{QStringLiteral("@/a.bas")}
                                  << QStringLiteral("If a Then") << QStringLiteral("@/a.bas")
                                  << nessuno;
        QTest::newRow("relativo") << QStringList{QStringLiteral("a.bas")}
                                  << QStringLiteral("If a Then") << QStringLiteral("@/a.bas")
                                  << nessuno;
        QTest::newRow("indirizzo file:")
            << QStringList{QStringLiteral("file://@/a%20b.bas")} << QStringLiteral("a b")
            << QStringLiteral("@/a b.bas") << nessuno;
        QTest::newRow("dopo --") << QStringList{QStringLiteral("--"), QStringLiteral("@/a.bas")}
                                 << QStringLiteral("If a Then") << QStringLiteral("@/a.bas")
                                 << nessuno;
        QTest::newRow("nessun file") << QStringList{} << QString() << QString() << nessuno;
        QTest::newRow("mancante") << QStringList{QStringLiteral("@/manca.bas")} << QString()
                                  << QString() << QStringLiteral("File o cartella inesistente");
        QTest::newRow("cartella") << QStringList{QStringLiteral("@")} << QString() << QString()
                                  << QStringLiteral("È una cartella");
        QTest::newRow("collegamento circolare")
            << QStringList{QStringLiteral("@/giro")} << QString() << QString()
            << QStringLiteral("Troppi livelli di collegamenti simbolici");
        QTest::newRow("senza permessi") << QStringList{QStringLiteral("@/chiuso.bas")} << QString()
                                        << QString() << QStringLiteral("Permesso negato");
    }

    void rigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, testo);
        QFETCH(QString, nome);
        QFETCH(QString, errore);
        if (errore == QStringLiteral("Permesso negato") && geteuid() == 0)
            QSKIP("l'amministratore legge anche i file senza permessi");

        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("a.bas"), "If a Then");
        m_amb->ScriviFile(QStringLiteral("a b.bas"), "a b");
        m_amb->ScriviFile(QStringLiteral("chiuso.bas"), "segreto");
        QFile::setPermissions(P(QStringLiteral("chiuso.bas")), {});
        QFile::link(P(QStringLiteral("giro")), P(QStringLiteral("giro2")));
        QFile::link(P(QStringLiteral("giro2")), P(QStringLiteral("giro")));
        for (QString &a : argomenti)
            a.replace(QLatin1Char('@'), m_amb->Cartella());
        const QString prima = QDir::currentPath();
        QDir::setCurrent(m_amb->Cartella());
        if (!errore.isEmpty()) Copione::RispondiMessaggio(Risposta::OK);

        f.ApriArgomenti(argomenti);
        QDir::setCurrent(prima);

        const auto messaggi = Copione::Messaggi();
        if (errore.isEmpty()) {
            QCOMPARE(messaggi.size(), 0);
        } else {
            QCOMPARE(messaggi.size(), 1);
            QVERIFY2(messaggi[0].testo.startsWith(QStringLiteral("Errore: ") + errore +
                                                  QStringLiteral("  (")),
                     qPrintable(messaggi[0].testo));
            QCOMPARE(messaggi[0].icona, Icona::Critico);
        }
        QCOMPARE(f.Editor()->Text(), testo);
        QCOMPARE(m_amb->Stato().NomeFileCorrente,
                 QString(nome).replace(QLatin1Char('@'), m_amb->Cartella()));
        QVERIFY(!m_amb->Stato().TestoModificato);
        QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
        QVERIFY(!HaPuntatoreOccupato(&f));
        QCOMPARE(Copione::Dialoghi().size(), 0);
    }

    void fileTrascinato_data()
    {
        QTest::addColumn<bool>("sullEditor");
        QTest::addColumn<bool>("conTesto"); // file managers add the path as text too
        QTest::addColumn<bool>("modificato");
        QTest::addColumn<QList<Risposta>>("risposte");
        QTest::addColumn<QString>("atteso");

        const QString aperto = QStringLiteral("If a Then");
        QTest::newRow("sull'editor") << true << false << false << QList<Risposta>{} << aperto;
        QTest::newRow("sulla finestra") << false << false << false << QList<Risposta>{} << aperto;
        QTest::newRow("con il percorso come testo")
            << true << true << false << QList<Risposta>{} << aperto;
        QTest::newRow("modificato, No")
            << true << false << true << QList<Risposta>{Risposta::No} << aperto;
        QTest::newRow("modificato, Annulla")
            << true << false << true << QList<Risposta>{Risposta::Annulla}
            << QStringLiteral("scritto");
    }

    void fileTrascinato()
    {
        QFETCH(bool, sullEditor);
        QFETCH(bool, conTesto);
        QFETCH(bool, modificato);
        QFETCH(QList<Risposta>, risposte);
        QFETCH(QString, atteso);

        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("a.bas"), "If a Then");
        if (modificato) {
            f.Editor()->SetText(QStringLiteral("scritto"));
            m_amb->Stato().TestoModificato = true;
        }
        for (Risposta r : risposte)
            Copione::RispondiMessaggio(r);

        QMimeData dati;
        dati.setUrls({QUrl::fromLocalFile(P(QStringLiteral("a.bas")))});
        if (conTesto) dati.setText(P(QStringLiteral("a.bas")));
        // Taken as a copy: a move would let the source delete its file.
        QCOMPARE(Trascina(sullEditor ? f.Editor()->viewport() : static_cast<QWidget *>(&f), &dati),
                 Qt::CopyAction);

        QCOMPARE(f.Editor()->Text(), atteso);
        QCOMPARE(Copione::Messaggi().size(), risposte.size());
        QCOMPARE(m_amb->Stato().NomeFileCorrente,
                 atteso == QStringLiteral("scritto") ? QString() : P(QStringLiteral("a.bas")));
    }

    void testoTrascinato()
    {
        Form1 &f = Prepara();
        QMimeData dati;
        dati.setText(QStringLiteral("Allora"));
        QVERIFY(Trascina(f.Editor()->viewport(), &dati) != Qt::IgnoreAction);
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Allora"));
        QVERIFY(m_amb->Stato().TestoModificato);
        QVERIFY(m_amb->Stato().NomeFileCorrente.isEmpty());
    }

    void percorsoCrediti_data()
    {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QString>("atteso");
        const QString accanto = QStringLiteral("bin/crediti.html");
        const QString installato = QStringLiteral("share/quadrivo/crediti.html");
        QTest::newRow("accanto al programma") << QStringList{accanto, installato} << accanto;
        QTest::newRow("installato") << QStringList{installato} << installato;
        QTest::newRow("nessuno") << QStringList{} << accanto;
    }

    void percorsoCrediti()
    {
        QFETCH(QStringList, file);
        QFETCH(QString, atteso);
        QTemporaryDir radice;
        QDir(radice.path()).mkpath(QStringLiteral("bin"));
        for (const QString &nome : file) {
            QDir(radice.path()).mkpath(QFileInfo(nome).path());
            QFile(radice.filePath(nome)).open(QIODevice::WriteOnly);
        }
        const frmInfo finestra(radice.filePath(QStringLiteral("bin")), nullptr);
        QCOMPARE(finestra.PercorsoCrediti(), radice.filePath(atteso));
    }

    void filtroTuttiIFile()
    {
        Form1 &f = Prepara();
        // Files without an extension (LEGGIMI, Makefile) are shown too.
        QCOMPARE(f.DialogoApriSalva().Descrizioni().last(), QStringLiteral("Tutti i file (*.*)"));
        QCOMPARE(f.DialogoApriSalva().Modelli().last(), QStringLiteral("*"));
    }
};

QTEST_MAIN(TestAvvio)
#include "test_avvio.moc"
