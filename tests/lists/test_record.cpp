// The list files: record bytes, reading damaged files, counting, saving.

#include "aiuti/ModelliRiferimento.h"
#include "app/CodificaAnsi.h"
#include "lists/ArchivioListe.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestRecord : public QObject
{
    Q_OBJECT

    static void Scrivi(const QString &percorso, const QByteArray &dati)
    {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(dati), dati.size());
    }
    static QByteArray Leggi(const QString &percorso)
    {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void esempiByteEsatti()
    {
        QByteArray atteso = QByteArray::fromHex("0200496602005365");
        atteso.append(QByteArray(120, '\0'));
        QCOMPARE(Record::Codifica(VoceSostituzione{QStringLiteral("If"), QStringLiteral("Se")}),
                 atteso);

        atteso = QByteArray::fromHex("010023") + QByteArray::fromHex("02004E6F0000");
        atteso.append(QByteArray(119, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{QStringLiteral("#"), QStringLiteral("No"), 7}),
                 atteso);

        atteso = QByteArray::fromHex("0600556E6C6F6164") + QByteArray::fromHex("020053EC0100");
        atteso.append(QByteArray(114, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{QStringLiteral("Unload"), TestoSi, 0}), atteso);
    }

    void flagDalTestoSoltanto_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("flag");
        QTest::newRow("Sì") << QStringLiteral("Sì") << 1;
        QTest::newRow("sì minuscolo") << QStringLiteral("sì") << 0;
        QTest::newRow("SÌ") << QStringLiteral("SÌ") << 0;
        QTest::newRow("No") << QStringLiteral("No") << 0;
        QTest::newRow("Si senza accento") << QStringLiteral("Si") << 0;
    }
    void flagDalTestoSoltanto()
    {
        QFETCH(QString, testo);
        QFETCH(int, flag);
        const QByteArray r = Record::Codifica(VoceEliminazione{QStringLiteral("x"), testo, 1});
        const int posFlag = 2 + 1 + 2 + int(testo.size());
        QCOMPARE(int(quint8(r[posFlag])) | (int(quint8(r[posFlag + 1])) << 8), flag);
    }

    // Random rows against the byte-by-byte model, and back again.
    void andataERitornoContoModello()
    {
        QRandomGenerator gen(2026);
        const QString alfabeto = QStringLiteral("aZ09 ,.;#èéìòù€ŒœÿÀ\u00a0\t");
        auto casuale = [&](int massimo) {
            QString s;
            for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
                s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            return s;
        };
        for (int i = 0; i < 3000; ++i) {
            const VoceSostituzione s{casuale(60), casuale(60)};
            const QByteArray r = Record::Codifica(s);
            QCOMPARE(r, Modello::RecordLetterale({CodificaAnsi::Codifica(s.Trova),
                                                  CodificaAnsi::Codifica(s.Sostituisci)},
                                                 {}));
            QCOMPARE(Record::DecodificaSostituzione(r), s);
            const VoceEliminazione e{casuale(100), gen.bounded(2) ? TestoSi : TestoNo, 0};
            const VoceEliminazione letta = Record::DecodificaEliminazione(Record::Codifica(e));
            QCOMPARE(letta.Elimina, e.Elimina);
            QCOMPARE(letta.ParolaIntera, e.ParolaIntera);
            QCOMPARE(letta.FlagIntera, qint16(e.ParolaIntera == TestoSi));
        }
    }

    void asciiContoModelloLetterale()
    {
        const VoceSostituzione s{QStringLiteral("While"), QStringLiteral("Mentre")};
        QCOMPARE(Record::Codifica(s), Modello::RecordLetterale({"While", "Mentre"}, {}));
        const VoceEliminazione e{QStringLiteral(".Show"), TestoNo, 0};
        QCOMPARE(Record::Codifica(e), Modello::RecordLetterale({".Show", "No"}, {0}));
    }

    void capacita()
    {
        const QString a(62, QLatin1Char('a'));
        QVERIFY(Record::MotivoNonContenibile(VoceSostituzione{a, a}).isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(VoceSostituzione{a, a + QLatin1Char('b')}).isEmpty());
        QVERIFY(Record::MotivoNonContenibile(
                    VoceEliminazione{QString(120, QLatin1Char('x')), TestoSi, 1})
                    .isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(
                     VoceEliminazione{QString(121, QLatin1Char('x')), TestoNo, 0})
                     .isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(VoceSostituzione{QStringLiteral("Ω"), QString()})
                     .isEmpty());
        // An over-long row is cut rather than written past its record.
        QCOMPARE(Record::Codifica(VoceSostituzione{QString(300, QLatin1Char('a')), a}).size(), 128);
    }

    void recordDanneggiati()
    {
        // Length fields that run past the record are read as far as the record goes.
        QByteArray r = QByteArray::fromHex("FFFF") + QByteArray(126, 'x');
        VoceSostituzione s = Record::DecodificaSostituzione(r);
        QCOMPARE(s.Trova, QString(126, QLatin1Char('x')));
        QCOMPARE(s.Sostituisci, QString());
        r = QByteArray::fromHex("0100") + "a" + QByteArray::fromHex("F000") + QByteArray(123, 'y');
        s = Record::DecodificaSostituzione(r);
        QCOMPARE(s.Sostituisci, QString(123, QLatin1Char('y')));
        const VoceEliminazione e =
            Record::DecodificaEliminazione(QByteArray::fromHex("7C00") + QByteArray(126, 'z'));
        QCOMPARE(e.Elimina.size(), 124);
        QCOMPARE(e.FlagIntera, qint16(0));
    }

    void apreCreaEConta()
    {
        QTemporaryDir dir;
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("sostituzioni.dat"))));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(liste.ContaSostituzioni(), 0);

        // Entries are the records with a word, in file order: the empty one in
        // the middle does not hide the last.
        QVERIFY(liste.Salva(
            QVector<VoceSostituzione>{{QStringLiteral("If"), QStringLiteral("Se")},
                                      {QString(), QStringLiteral("vuota")},
                                      {QStringLiteral("Then"), QString()},
                                      {QStringLiteral("Not"), QStringLiteral("Non è")}}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 4 * 128);
        QCOMPARE(liste.ContaSostituzioni(), 3);
        VoceSostituzione v;
        QVERIFY(liste.LeggiVoce(3, v));
        QCOMPARE(v, (VoceSostituzione{QStringLiteral("Not"), QStringLiteral("Non è")}));
        QVERIFY(liste.LeggiVoce(2, v));
        QCOMPARE(v.Trova, QStringLiteral("Then"));
        QVERIFY(!liste.LeggiVoce(4, v));
        QCOMPARE(v, VoceSostituzione());
        QVERIFY(!liste.LeggiVoce(0, v));

        QVERIFY(liste.Salva(QVector<VoceSostituzione>{}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(Leggi(dir.filePath(QStringLiteral("sostituzioni.dat"))), QByteArray());
    }

    void fileConCodaSpezzata()
    {
        QTemporaryDir dir;
        const QByteArray due =
            Record::Codifica(VoceSostituzione{QStringLiteral("a"), QStringLiteral("b")}) +
            Record::Codifica(VoceSostituzione{QStringLiteral("c"), QStringLiteral("d")});
        Scrivi(dir.filePath(QStringLiteral("sostituzioni.dat")),
               due + QByteArray::fromHex("0500414243"));
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QCOMPARE(liste.LeggiSostituzioni().size(), 2);
        QCOMPARE(liste.ContaSostituzioni(), 2);
    }

    void salvataggioSenzaPerdite()
    {
        QTemporaryDir dir;
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        QVERIFY(liste.Salva(EliminazioniPredefinite()));
        const QByteArray prima = Leggi(liste.Percorso(Elenco::Eliminazioni));
        QCOMPARE(prima.size(), 9 * 128);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(Record::DecodificaEliminazione(prima.mid(i * 128, 128)).FlagIntera,
                     qint16(i < 8));

        // A folder that cannot take the new file: the old file stays whole.
        ArchivioListe rotto(dir.filePath(QStringLiteral("sostituzioni.dat/sotto")));
        ErroreFile errore;
        QVERIFY(!rotto.Salva(EliminazioniPredefinite(), &errore));
        QVERIFY(errore.numero != 0);
        QVERIFY(errore.Messaggio().startsWith(QStringLiteral("Errore: ")));

        QTemporaryDir altro;
        ArchivioListe l2(altro.path());
        QVERIFY(l2.Apri(Elenco::Eliminazioni));
        QVERIFY(l2.Salva(EliminazioniPredefinite()));
        QFile::remove(altro.path() + QStringLiteral("/pulizia.dat"));
        QVERIFY(QDir().mkdir(altro.path() + QStringLiteral("/pulizia.dat")));
        QVERIFY(!l2.Salva(QVector<VoceEliminazione>{}, &errore));
        QCOMPARE(Leggi(liste.Percorso(Elenco::Eliminazioni)), prima);
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "test_record.moc"
