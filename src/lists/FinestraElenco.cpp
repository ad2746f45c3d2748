#include "FinestraElenco.h"

#include "app/Form1.h"
#include "app/Modulo1.h"
#include "platform/Icone.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using Piattaforma::Pixel;

namespace {

QString Rifila(const QString &testo)
{
    qsizetype inizio = 0, fine = testo.size();
    while (inizio < fine && testo[inizio] == QLatin1Char(' '))
        ++inizio;
    while (fine > inizio && testo[fine - 1] == QLatin1Char(' '))
        --fine;
    return testo.mid(inizio, fine - inizio);
}

} // namespace

FinestraElenco::FinestraElenco(Modulo1 &stato, Elenco elenco, Form1 *form)
    : QDialog(form), m_stato(stato), m_elenco(elenco), m_form(form)
{
    const bool sost = elenco == Elenco::Sostituzioni;
    setObjectName(sost ? QStringLiteral("Form2") : QStringLiteral("frmEl"));
    setWindowTitle(sost ? QStringLiteral("Elenco sostituzioni") : QStringLiteral("Elenco eliminazioni"));
    setFixedSize(Pixel(sost ? 6630 : 6690), Pixel(4035));

    Label1 = new QLabel(sost ? QStringLiteral("Lista sostituzioni:") : QStringLiteral("Lista eliminazioni:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Pixel(120), Pixel(120), Pixel(3375), Pixel(255));

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(Pixel(120), Pixel(360), Pixel(4935), Pixel(3135));
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({QStringLiteral("Trova"), sost ? QStringLiteral("Sostituisci con")
                                                              : QStringLiteral("Cerca solo parola intera")});

    Command6 = new QPushButton(QStringLiteral("&Chiudi"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setGeometry(Pixel(5160), Pixel(3600), Pixel(1455), Pixel(375));
    connect(Command6, &QPushButton::clicked, this, &QDialog::accept);

    CaricaElenco();
}

void FinestraElenco::CaricaElenco()
{
    auto aggiungi = [this](const QString &primo, const QString &secondo) {
        auto *riga = new QTreeWidgetItem(ListView1, {Rifila(primo), Rifila(secondo)});
        riga->setIcon(0, Icone::Riga());
    };
    if (m_elenco == Elenco::Sostituzioni) {
        for (const VoceSostituzione &voce : m_stato.Liste.LeggiSostituzioni())
            if (!voce.Sostituisci.isEmpty())
                aggiungi(voce.Trova, voce.Sostituisci);
    } else {
        for (const VoceEliminazione &voce : m_stato.Liste.LeggiEliminazioni())
            if (!voce.Elimina.isEmpty())
                aggiungi(voce.Elimina, voce.ParolaIntera);
    }
}

void FinestraElenco::done(int risultato)
{
    QAction *comando = m_elenco == Elenco::Sostituzioni ? m_form->mnuStrumAvvia : m_form->mnuStrumAPul;
    comando->setEnabled(m_stato.Liste.Lunghezza(m_elenco) != 0);
    QDialog::done(risultato);
}
