#include "ApriListe.h"

#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "nucleo/Opzioni.h"

#include <QDir>

namespace {

QString NomeFile(const Contesto &stato, Elenco elenco)
{
    return QDir::toNativeSeparators(stato.Liste.Percorso(elenco));
}

// A file that is there but cannot be read: the program goes on without it.
void AvvisaIlleggibile(Contesto &stato, FinestraPrincipale &form, Elenco elenco)
{
    Piattaforma::MessageBox(
        &form,
        QStringLiteral("Impossibile leggere l'elenco \"%1\".\r\n%2\r\nL'elenco resta vuoto e non "
                       "verrà salvato, così il file non viene sovrascritto.")
            .arg(NomeFile(stato, elenco), stato.Liste.Errore(elenco).Messaggio()),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
}

// A substitution list with a part-record at the end or a record whose fields
// do not read as text is used as it always was; the user is told once.
void AvvisaDifetti(Contesto &stato, FinestraPrincipale &form)
{
    const QString difetti = stato.Liste.DifettiRecord(Elenco::Sostituzioni);
    if (difetti.isEmpty()) return;
    Piattaforma::MessageBox(
        &form,
        QStringLiteral("L'elenco \"%1\": %2.\r\nViene usato lo stesso: un record incompleto è "
                       "completato con zeri, un campo più lungo del record è tagliato alla sua "
                       "fine.")
            .arg(NomeFile(stato, Elenco::Sostituzioni), difetti),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
}

// False when the program cannot go on: the file can be neither opened nor created.
bool Apri(Contesto &stato, FinestraPrincipale &form, Elenco elenco)
{
    ErroreFile errore;
    if (stato.Liste.Apri(elenco, &errore)) return true;
    if (stato.Liste.Stato(elenco) == StatoElenco::Illeggibile) {
        AvvisaIlleggibile(stato, form, elenco);
        return true;
    }
    Piattaforma::MessageBox(&form,
                            QStringLiteral("Impossibile aprire l'elenco \"%1\".\r\n%2")
                                .arg(NomeFile(stato, elenco), errore.Messaggio()),
                            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
    return false;
}

// True when the list can be used: it is not empty, or the user chose to fill
// it now (the editor has been shown).
bool OffriRiempimento(Contesto &stato, FinestraPrincipale &form, Elenco elenco,
                      const QString &domanda)
{
    if (stato.Liste.Stato(elenco) == StatoElenco::Illeggibile) return false;
    if (stato.Liste.Lunghezza(elenco) != 0) return true;
    if (Piattaforma::MessageBox(&form, domanda, Piattaforma::Pulsanti::SiNo,
                                Piattaforma::Icona::Informazione) == Piattaforma::Risposta::Si) {
        form.MostraElenco(elenco);
        return true;
    }
    return false;
}

} // namespace

bool ApriListe(FinestraPrincipale &form)
{
    Contesto &stato = form.Condiviso();
    if (!Apri(stato, form, Elenco::Sostituzioni)) return false;
    if (stato.Liste.Stato(Elenco::Sostituzioni) != StatoElenco::Illeggibile)
        AvvisaDifetti(stato, form);
    bool usabile = OffriRiempimento(
        stato, form, Elenco::Sostituzioni,
        QStringLiteral("Il file delle sostituzioni è vuoto. Si desidera riempirlo ora?"));
    if (usabile) {
        stato.Liste.ContaSostituzioni();
        if (stato.Liste.Stato(Elenco::Sostituzioni) == StatoElenco::Illeggibile) {
            AvvisaIlleggibile(stato, form, Elenco::Sostituzioni);
            usabile = false;
        }
    }
    if (!usabile) form.AbilitaAvvio(Elenco::Sostituzioni, false);

    if (!Apri(stato, form, Elenco::Eliminazioni)) return false;
    if (!OffriRiempimento(
            stato, form, Elenco::Eliminazioni,
            QStringLiteral("Il file della pulizia è vuoto. Si desidera riempirlo ora?")))
        form.AbilitaAvvio(Elenco::Eliminazioni, false);

    // The options file lives beside the lists; one that cannot be taken is
    // reported once and its options left off.
    ErroreFile errore;
    stato.OpzioniCodice = FileOpzioni::Leggi(stato.Liste.Cartella(), &errore);
    if (errore.numero != 0)
        Piattaforma::MessageBox(
            &form,
            QStringLiteral("Impossibile leggere le opzioni \"%1\".\r\n%2\r\nSi usano le opzioni "
                           "predefinite.")
                .arg(QDir::toNativeSeparators(FileOpzioni::Percorso(stato.Liste.Cartella())),
                     errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
    return true;
}
