// Build tool: writes the program's icon into an icon-theme tree,
// DIR/<n>x<n>/apps/quadrivo.png for each size n given.

#include "piattaforma/Icone.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "uso: %s CARTELLA LATO...\n", argv[0]);
        return 2;
    }
    const QDir radice(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int lato = std::atoi(argv[i]);
        const QString cartella = QStringLiteral("%1x%1/apps").arg(lato);
        if (lato <= 0 || !radice.mkpath(cartella) ||
            !Icone::ImmagineProgramma(lato).save(
                radice.filePath(cartella + QStringLiteral("/quadrivo.png")), "PNG")) {
            std::fprintf(stderr, "impossibile scrivere l'icona di lato %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
