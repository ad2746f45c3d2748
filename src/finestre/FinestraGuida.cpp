#include "FinestraGuida.h"

#include "piattaforma/Icone.h"
#include "piattaforma/Piattaforma.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

FinestraGuida::FinestraGuida(QWidget *padre) : QDialog(padre)
{
    // The guide lives in this static library: its resource is registered by name.
    Q_INIT_RESOURCE(guida);
    setObjectName(QStringLiteral("FinestraGuida"));
    setWindowTitle(QStringLiteral("Guida di Quadrivo"));
    setWindowIcon(Icone::Programma());
    resize(Piattaforma::Pixel(9000), Piattaforma::Pixel(8000));

    Testo = new QTextBrowser(this);
    Testo->setObjectName(QStringLiteral("TestoGuida"));
    // Links inside the guide move within it; nothing is fetched from outside.
    Testo->setOpenExternalLinks(false);
    Testo->setOpenLinks(true);
    Testo->setSource(QUrl(Indirizzo()));

    auto *pulsanti = new QDialogButtonBox(this);
    QPushButton *chiudi =
        pulsanti->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    chiudi->setObjectName(QStringLiteral("BottoneChiudi"));
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject); // Esc too

    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(Testo, 1);
    disposizione->addWidget(pulsanti);
    Testo->setFocus();
}

QString FinestraGuida::Indirizzo()
{
    return QStringLiteral("qrc:/guida/guida.html");
}
