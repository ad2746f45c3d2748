#include "app/Form1.h"
#include "app/Modulo1.h"
#include "platform/Piattaforma.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quadrivo"));
    QApplication::setApplicationDisplayName(Piattaforma::TitoloProgramma);
    Piattaforma::CaricaTraduzioni(app);
    Piattaforma::ImpostaCarattere(app);

    Modulo1 stato(Piattaforma::CartellaListe());
    Form1 finestra(stato);
    if (!finestra.Form_Load()) return 1;
    finestra.show();
    return app.exec();
}
