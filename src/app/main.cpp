#include "app/Form1.h"
#include "app/Modulo1.h"
#include "platform/Piattaforma.h"

#include <QApplication>

// quadrivo [FILE]: the file, when given, is opened as "&Apri..." opens it.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Piattaforma::PreparaApplicazione(app);

    Modulo1 stato(Piattaforma::CartellaListe());
    Form1 finestra(stato);
    if (!finestra.Form_Load()) return 1;
    finestra.show();
    finestra.ApriArgomenti(QApplication::arguments().mid(1));
    return app.exec();
}
