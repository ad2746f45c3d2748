#include "AzioniElenco.h"

#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/testo/ErroreFile.h"
#include "nucleo/testo/FileRegolare.h"
#include "nucleo/testo/ScritturaAtomica.h"
#include "piattaforma/Piattaforma.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <cerrno>
#include <functional>

using Piattaforma::Icona;
using Piattaforma::Pixel;
using Piattaforma::Pulsante;
using Piattaforma::Pulsanti;
using Piattaforma::Risposta;

namespace {

const Linguaggio Linguaggi[] = {Linguaggio::Basic, Linguaggio::C, Linguaggio::Cpp,
                                Linguaggio::Batch};

// A list text file is at most a few hundred kilobytes; this keeps a wrong
// choice (a disk image, a video) from filling the memory.
constexpr qint64 DimensioneMassima = 16 * 1024 * 1024;

// One dialog serves both editors, so it offers the path chosen last.
Piattaforma::DialogoFile &Dialogo()
{
    static Piattaforma::DialogoFile dialogo = [] {
        Piattaforma::DialogoFile d;
        d.ImpostaFiltro(QStringLiteral("Elenco di testo (*.txt)|*.txt|Tutti i file (*.*)|*.*"));
        d.ImpostaSuffisso(QStringLiteral("txt"));
        return d;
    }();
    return dialogo;
}

// Brings `nuove` into the model: in place of its rows, or only the missing
// ones, as asked when it holds rows. False when cancelled.
template <typename Voce>
bool Unisci(QWidget *padre, ModelloElenco &modello, const QVector<Voce> &nuove,
            const QString &origine, const std::function<bool()> &puoSostituire = {})
{
    using Unione = ModelloElenco::Unione;
    if (modello.NumeroRighe() == 0) {
        modello.Unisci(nuove, Unione::Sostituisci);
        return true;
    }
    const Risposta r = Piattaforma::MessageBox(
        padre,
        QStringLiteral("L'elenco contiene già delle voci.\r\n\r\nSostituisci le righe: "
                       "sostituisce le voci con quelle %1.\r\nAggiungi in fondo: aggiunge in "
                       "fondo quelle mancanti.\r\nAnnulla: l'elenco resta com'è.")
            .arg(origine),
        Pulsanti::SostituisciAggiungi, Icona::Domanda);
    if (r != Risposta::Si && r != Risposta::No) return false;
    // Adding the missing entries loses nothing; replacing may lose unsaved edits.
    if (r == Risposta::Si && puoSostituire && !puoSostituire()) return false;
    modello.Unisci(nuove, r == Risposta::Si ? Unione::Sostituisci : Unione::AggiungiMancanti);
    return true;
}

void Errore(QWidget *padre, const QString &testo, const QString &percorso, int numeroErrno)
{
    Piattaforma::MessageBox(padre,
                            testo.arg(QDir::toNativeSeparators(percorso)) + QStringLiteral("\r\n") +
                                ErroreFile::DaErrno(numeroErrno).Messaggio(),
                            Pulsanti::OK, Icona::Critico);
}

template <typename Voce>
bool ImportaDa(QWidget *padre, ModelloElenco &modello,
               TestoElenco::Esito<Voce> (*leggi)(QByteArrayView))
{
    const std::optional<QString> percorso =
        Dialogo().Mostra(padre, Piattaforma::DialogoFile::Modo::Apri);
    if (!percorso) return false;
    const QString errore = QStringLiteral("Impossibile importare l'elenco da \"%1\".");
    // Only a regular file of bounded size: a pipe would block, a device never end.
    ErroreFile perche;
    const std::optional<QByteArray> dati =
        FileRegolare::Leggi(*percorso, DimensioneMassima, &perche);
    if (!dati) {
        Piattaforma::MessageBox(padre,
                                errore.arg(QDir::toNativeSeparators(*percorso)) +
                                    QStringLiteral("\r\n") + perche.Messaggio(),
                                Pulsanti::OK, Icona::Critico);
        return false;
    }

    const TestoElenco::Esito<Voce> esito = leggi(*dati);
    if (!esito.rifiutate.isEmpty())
        Piattaforma::MessageBox(padre, TestoElenco::Messaggio(esito.rifiutate, false), Pulsanti::OK,
                                Icona::Esclamazione);
    if (esito.voci.isEmpty()) {
        if (esito.rifiutate.isEmpty())
            Piattaforma::MessageBox(padre, QStringLiteral("Il file non contiene voci."),
                                    Pulsanti::OK, Icona::Informazione);
        return false;
    }
    return Unisci(padre, modello, esito.voci, QStringLiteral("del file"));
}

template <typename Voce, typename Scrivi>
bool EsportaIn(QWidget *padre, const QVector<Voce> &righe, Scrivi scrivi, const QString &nome)
{
    // The list's own name, in the folder used last (not over the file imported last).
    const QString ultimo = Dialogo().Ultimo();
    Dialogo().ProponiPercorso(ultimo.isEmpty() ? nome : QFileInfo(ultimo).dir().filePath(nome));
    std::optional<QString> percorso;
    for (;;) {
        percorso = Dialogo().Mostra(padre, Piattaforma::DialogoFile::Modo::Salva);
        if (!percorso) return false;
        const QFileInfo info(*percorso);
        if (!info.exists() || info.isDir()) break;
        if (Piattaforma::MessageBox(
                padre, QStringLiteral("Il file esiste già. Si desidera sostituirlo?"),
                Pulsanti::SiNo, Icona::Esclamazione, QStringLiteral("Esporta")) == Risposta::Si)
            break;
    }

    QVector<TestoElenco::RigaRifiutata> rifiutate;
    const QByteArray dati = scrivi(righe, &rifiutate);
    const QString errore = QStringLiteral("Impossibile esportare l'elenco in \"%1\".");
    ErroreFile fallita;
    if (!ScritturaAtomica::Scrivi(*percorso, dati, ScritturaAtomica::Modo::SoloAtomica, &fallita)) {
        Errore(padre, errore, *percorso, fallita.numero);
        return false;
    }
    if (!rifiutate.isEmpty())
        Piattaforma::MessageBox(padre, TestoElenco::Messaggio(rifiutate, true), Pulsanti::OK,
                                Icona::Esclamazione);
    return true;
}

} // namespace

FinestraLinguaggio::FinestraLinguaggio(Linguaggio proposto, QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("FinestraLinguaggio"));
    setWindowTitle(QStringLiteral("Carica l'elenco di un linguaggio"));
    setFixedSize(Pixel(3705), Pixel(1110));

    EtichettaLinguaggio = new QLabel(QStringLiteral("&Linguaggio:"), this);
    EtichettaLinguaggio->setObjectName(QStringLiteral("EtichettaLinguaggio"));
    EtichettaLinguaggio->setGeometry(Pixel(120), Pixel(180), Pixel(1095), Pixel(255));
    SceltaLinguaggio = new QComboBox(this);
    SceltaLinguaggio->setObjectName(QStringLiteral("SceltaLinguaggio"));
    SceltaLinguaggio->setGeometry(Pixel(1320), Pixel(120), Pixel(2295), Pixel(315));
    for (Linguaggio l : Linguaggi)
        SceltaLinguaggio->addItem(NomeLinguaggio(l), int(l));
    const int indice = SceltaLinguaggio->findData(int(proposto));
    SceltaLinguaggio->setCurrentIndex(indice < 0 ? 0 : indice);
    EtichettaLinguaggio->setBuddy(SceltaLinguaggio);

    BottoneOk = Pulsante(this, "BottoneOk", QStringLiteral("OK"), 1320, 600, 1095, 375);
    BottoneOk->setDefault(true);
    BottoneAnnulla =
        Pulsante(this, "BottoneAnnulla", QStringLiteral("Annulla"), 2520, 600, 1095, 375);
    connect(BottoneOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BottoneAnnulla, &QPushButton::clicked, this, &QDialog::reject); // Esc too
    SceltaLinguaggio->setFocus();
}

Linguaggio FinestraLinguaggio::Scelto() const
{
    return Linguaggio(SceltaLinguaggio->currentData().toInt());
}

namespace AzioniElenco {

bool CaricaLinguaggio(QWidget *padre, ModelloElenco &modello, Linguaggio proposto,
                      const std::function<bool()> &puoSostituire)
{
    FinestraLinguaggio scelta(proposto, padre);
    if (Piattaforma::MostraModale(&scelta) != QDialog::Accepted) return false;
    const Linguaggio linguaggio = scelta.Scelto();
    return Unisci(padre, modello, ListaDelLinguaggio(linguaggio),
                  QStringLiteral("dell'elenco ") + NomeLinguaggio(linguaggio), puoSostituire);
}

bool Importa(QWidget *padre, ModelloElenco &modello)
{
    if (modello.Tipo() == Elenco::Sostituzioni)
        return ImportaDa(padre, modello, &TestoElenco::LeggiSostituzioni);
    return ImportaDa(padre, modello, &TestoElenco::LeggiEliminazioni);
}

bool Esporta(QWidget *padre, const QVector<VoceSostituzione> &righe)
{
    return EsportaIn(padre, righe, &TestoElenco::ScriviSostituzioni,
                     QStringLiteral("sostituzioni.txt"));
}

bool Esporta(QWidget *padre, const QVector<VoceEliminazione> &righe)
{
    return EsportaIn(padre, righe, &TestoElenco::ScriviEliminazioni, QStringLiteral("pulizia.txt"));
}

} // namespace AzioniElenco
