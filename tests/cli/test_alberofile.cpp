// The files -r drafts in a folder tree, and the output folders made for
// their results, never through a link.

#include "aiuti/Tabella.h"
#include "cli/AlberoFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Crea(const QByteArray &percorso)
{
    const int fd = ::open(percorso.constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
}

} // namespace

class TestAlberoFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void daElaborare_data()
    {
        Colonne<QByteArray, bool>("nome", "elaborato");
        for (const char *nome :
             {"a.bas", "A.FRM", "m.cls", "c.ctl", "d.dsr", "s.vbs", "x.c", "x.h", "x.cpp", "x.HPP",
              "x.cc", "x.cxx", "x.hh", "x.hxx", "go.bat", "go.Cmd", "leggimi.txt", "due.punti.c"})
            Riga(nome, QByteArray(nome), true);
        for (const char *nome : {"foto.png", "Makefile", "a.bas~", "a.o", "c.", ".c", "a.txt.gz"})
            Riga(nome, QByteArray(nome), false);
    }
    void daElaborare()
    {
        const auto [nome, elaborato] = DatiRiga<QByteArray, bool>("nome", "elaborato");
        QCOMPARE(AlberoFile::DaElaborare(nome), elaborato);
    }

    // The tree: "a.bas", "b.png", "n\xe9.c", ".nascosto.c", ".git/x.c",
    // "sub/c.h", "sub/profondo/d.cmd", "sub/vuota/", "esclusa/e.c",
    // "collegata" (a link to "sub"), "link.c" (a link to "sub/c.h"),
    // "rotto.c" (a link to nothing) and "fifo.txt" (a named pipe).
    void raccogli_data()
    {
        Colonne<bool, QList<QByteArray>>("escludi", "attesi");
        Riga("tutto l'albero", false,
             QList<QByteArray>{"a.bas", "esclusa/e.c", "link.c", "n\xe9.c", "sub/c.h",
                               "sub/profondo/d.cmd"});
        Riga("senza la cartella di uscita", true,
             QList<QByteArray>{"a.bas", "link.c", "n\xe9.c", "sub/c.h", "sub/profondo/d.cmd"});
    }
    void raccogli()
    {
        const auto [escludi, attesi] = DatiRiga<bool, QList<QByteArray>>("escludi", "attesi");
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        for (const char *cartella : {".git", "sub/profondo", "sub/vuota", "esclusa"})
            QVERIFY(QDir().mkpath(QString::fromLatin1(cartella)));
        for (const char *nome : {"a.bas", "b.png", "n\xe9.c", ".nascosto.c", ".git/x.c", "sub/c.h",
                                 "sub/profondo/d.cmd", "esclusa/e.c"})
            Crea(nome);
        QCOMPARE(::symlink("sub", "collegata"), 0);
        QCOMPARE(::symlink("sub/c.h", "link.c"), 0);
        QCOMPARE(::symlink("manca", "rotto.c"), 0);
        QCOMPARE(::mkfifo("fifo.txt", 0644), 0);
        std::set<std::pair<dev_t, ino_t>> escluse;
        struct stat stato;
        QCOMPARE(::stat("esclusa", &stato), 0);
        if (escludi) escluse.insert({stato.st_dev, stato.st_ino});

        const AlberoFile::Esito esito = AlberoFile::Raccogli(dir.path().toUtf8() + '/', escluse);
        ::unlink("n\xe9.c"); // Qt could not remove it with the folder
        QDir::setCurrent(QDir::tempPath());
        QCOMPARE(esito.relativi, attesi);
        QVERIFY(esito.errori.isEmpty());
    }

    void radiceMancante()
    {
        const AlberoFile::Esito esito = AlberoFile::Raccogli("/nessuna/cartella/così");
        QVERIFY(esito.relativi.isEmpty());
        QCOMPARE(esito.errori.size(), 1);
        QCOMPARE(esito.errori.front().numero, ENOENT);
    }

    // Under "out": the folder "c'è", the file "file" and "link", a link to
    // the test folder's "fuori". 0: the folders of the path are there after.
    void creaCartelle_data()
    {
        Colonne<QByteArray, int>("relativo", "errore");
        Riga("solo un nome", QByteArray("a.bas"), 0);
        Riga("una cartella nuova", QByteArray("nuova/a.bas"), 0);
        Riga("più livelli", QByteArray("uno/due/tre/a.bas"), 0);
        Riga("una cartella che c'è", QByteArray("c'è/altra/a.bas"), 0);
        Riga("un collegamento a una cartella", QByteArray("link/a.bas"), ENOTDIR);
        Riga("sotto un collegamento", QByteArray("link/giù/a.bas"), ENOTDIR);
        Riga("un file al posto della cartella", QByteArray("file/a.bas"), ENOTDIR);
        Riga("un ritorno in su", QByteArray("../fuori/a.bas"), EINVAL);
    }
    void creaCartelle()
    {
        const auto [relativo, errore] = DatiRiga<QByteArray, int>("relativo", "errore");
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(QDir().mkpath(QStringLiteral("out/c'è")));
        QVERIFY(QDir().mkpath(QStringLiteral("fuori")));
        Crea("out/file");
        QCOMPARE(::symlink("../fuori", "out/link"), 0);

        QCOMPARE(AlberoFile::CreaCartelle("out", relativo), errore);
        const QByteArray cartella = relativo.left(relativo.lastIndexOf('/'));
        struct stat stato;
        if (errore == 0 && relativo.contains('/')) {
            QCOMPARE(::lstat(("out/" + cartella).constData(), &stato), 0);
            QVERIFY(S_ISDIR(stato.st_mode));
        }
        // Nothing was ever made outside "out".
        QVERIFY(QDir(QStringLiteral("fuori")).isEmpty());
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_GUILESS_MAIN(TestAlberoFile)
#include "test_alberofile.moc"
