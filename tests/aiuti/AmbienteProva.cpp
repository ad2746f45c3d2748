#include "AmbienteProva.h"

#include "finestre/FinestraPrincipale.h"

#include <QAction>
#include <QFile>
#include <QProgressBar>
#include <QTest>

AmbienteProva::AmbienteProva()
{
    Copione::Attiva();
    Copione::Azzera();
    Copione::ImpostaSchermo(QSize(19200, 14400));
    m_contesto = std::make_unique<Contesto>(m_cartella.path());
}

AmbienteProva::~AmbienteProva()
{
    m_finestra.reset();
    Copione::Azzera();
}

void AmbienteProva::ScriviFile(const QString &nome, const QByteArray &contenuto) const
{
    QFile file(m_cartella.filePath(nome));
    if (!file.open(QIODevice::WriteOnly) || file.write(contenuto) != contenuto.size())
        qFatal("impossibile scrivere il file di prova %s", qPrintable(nome));
}

void AmbienteProva::ScriviElenchi(const QVector<VoceSostituzione> &sostituzioni)
{
    ScriviFile(QStringLiteral("sostituzioni.dat"), Record::Unisci(sostituzioni));
    ScriviFile(QStringLiteral("pulizia.dat"), Record::Codifica(EliminazioniPredefinite().first()));
}

QByteArray AmbienteProva::LeggiFile(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FinestraPrincipale &AmbienteProva::Avvia()
{
    m_finestra = std::make_unique<FinestraPrincipale>(*m_contesto);
    if (!m_finestra->Avvia()) qWarning("avvio non riuscito");
    return *m_finestra;
}

QAction *Comando(QWidget &finestra, const char *nome)
{
    auto *comando = finestra.findChild<QAction *>(QLatin1String(nome));
    if (!comando) qFatal("comando %s mancante", nome);
    return comando;
}

QProgressBar *Avanzamento(QWidget &finestra)
{
    auto *barra = finestra.findChild<QProgressBar *>(QStringLiteral("m_barraAvanzamento"));
    if (!barra) qFatal("barra di avanzamento mancante");
    return barra;
}
