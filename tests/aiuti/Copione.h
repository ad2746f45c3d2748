#pragma once

// Scripted answers for the tests: while active, every message box, file
// dialog and modal window takes the answer queued for it and nothing blocks.
// A test queues the answers, then reads back everything that was shown.

#include "piattaforma/Piattaforma.h"

#include <QSize>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class QDialog;

namespace Copione {

struct Messaggio
{
    QString testo;
    Piattaforma::Pulsanti pulsanti;
    Piattaforma::Icona icona;
    QString titolo;
    bool operator==(const Messaggio &o) const
    {
        return testo == o.testo && pulsanti == o.pulsanti && icona == o.icona && titolo == o.titolo;
    }
};
// How a failed QCOMPARE shows a message box.
char *toString(const Messaggio &m);

struct Dialogo
{
    Piattaforma::DialogoFile::Modo modo;
    QString percorsoProposto;
    QString filtroSelezionato;
};

// Installs the script as the platform's answerer, and takes it away.
void Attiva();
void Disattiva();

void RispondiMessaggio(Piattaforma::Risposta risposta);
void RispondiFile(std::optional<QString> percorso);
// Runs `azione` on the next modal window once it is shown; the action should
// close it. A window still open afterwards is rejected and counted as unanswered.
void QuandoModale(std::function<void(QDialog *)> azione);
void ImpostaSchermo(QSize twip);

// What was shown since the last call, in order; the calls empty the lists.
QVector<Messaggio> Messaggi();
QVector<Dialogo> Dialoghi();
QStringList ModaliMostrati();
// Paths the viewer was started on (it never starts while the script is active),
// and whether it is to be missing.
QStringList VisualizzatoriAvviati();
void VisualizzatoreMancante(bool mancante);
// The viewer starts but finds no program for the file (no browser installed).
void NessunProgrammaPerIlFile(bool nessuno);
// Boxes, dialogs and windows that found no queued answer, and answers left unused.
int SenzaRisposta();
int RisposteAvanzate();
void Azzera();

// Short forms for the texts of what was shown.
QStringList TestiMessaggi(const QVector<Messaggio> &messaggi);

} // namespace Copione

// Fails the test when a box found no scripted answer or an answer was left over.
#define VERIFICA_COPIONE_ESAURITO()                                                                \
    do {                                                                                           \
        QCOMPARE(Copione::SenzaRisposta(), 0);                                                     \
        QCOMPARE(Copione::RisposteAvanzate(), 0);                                                  \
    } while (false)
