#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "piattaforma/Piattaforma.h"

#include <QApplication>
#include <csignal>

// quadrivo [FILE]: the file, when given, is opened as "&Apri..." opens it.
int main(int argc, char *argv[])
{
    // A file-size limit makes a write fail with EFBIG, shown as any write
    // error, instead of ending the program with the unsaved text.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    Piattaforma::PreparaApplicazione(app);

    Contesto stato(Piattaforma::CartellaListe());
    FinestraPrincipale finestra(stato);
    if (!finestra.Avvia()) return 1;
    finestra.show();
    finestra.OffriRipristini();
    finestra.ApriArgomenti(QApplication::arguments().mid(1));
    return app.exec();
}
