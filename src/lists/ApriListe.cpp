#include "ApriListe.h"

#include "app/Form1.h"
#include "app/Modulo1.h"

#include <QAction>
#include <QDir>

namespace {

bool Apri(Modulo1 &stato, Form1 &form, Elenco elenco)
{
    ErroreFile errore;
    if (stato.Liste.Apri(elenco, &errore)) return true;
    Piattaforma::MessageBox(
        &form,
        QStringLiteral("Impossibile aprire l'elenco \"%1\".\r\n%2")
            .arg(QDir::toNativeSeparators(stato.Liste.Percorso(elenco)), errore.Messaggio()),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
    return false;
}

// True when the user chose to fill the empty file now (the editor has been shown).
bool OffriRiempimento(Modulo1 &stato, Form1 &form, Elenco elenco, const QString &domanda)
{
    if (stato.Liste.Lunghezza(elenco) != 0) return true;
    if (Piattaforma::MessageBox(&form, domanda, Piattaforma::Pulsanti::SiNo,
                                Piattaforma::Icona::Informazione) == Piattaforma::Risposta::Si) {
        form.MostraElenco(elenco);
        return true;
    }
    return false;
}

} // namespace

bool ApriListe(Modulo1 &stato, Form1 &form)
{
    if (!Apri(stato, form, Elenco::Sostituzioni)) return false;
    if (OffriRiempimento(
            stato, form, Elenco::Sostituzioni,
            QStringLiteral("Il file delle sostituzioni è vuoto. Si desidera riempirlo ora?")))
        stato.NumSostituzioni = stato.Liste.ContaSostituzioni();
    else
        form.mnuStrumAvvia->setEnabled(false);

    if (!Apri(stato, form, Elenco::Eliminazioni)) return false;
    if (!OffriRiempimento(
            stato, form, Elenco::Eliminazioni,
            QStringLiteral("Il file della pulizia è vuoto. Si desidera riempirlo ora?")))
        form.mnuStrumAPul->setEnabled(false);
    return true;
}
