#include "Copione.h"

#include <QDialog>
#include <QTest>
#include <deque>

namespace Copione {

namespace {

using Piattaforma::Risposta;

class Risponditore : public Piattaforma::Risponditore
{
public:
    std::deque<Risposta> risposte;
    std::deque<std::optional<QString>> file; // a path, or cancelled
    std::deque<std::function<void(QDialog *)>> modali;
    std::optional<QSize> schermo;
    QVector<Copione::Messaggio> messaggi;
    QVector<Dialogo> dialoghi;
    QStringList modaliMostrati;
    QStringList visualizzatori;
    bool visualizzatoreMancante = false;
    bool senzaProgramma = false;
    int senzaRisposta = 0;

    // The next answer queued in `coda`; none counts as unanswered.
    template <typename T> std::optional<T> Prossima(std::deque<T> &coda)
    {
        if (coda.empty()) {
            ++senzaRisposta;
            return std::nullopt;
        }
        T risposta = std::move(coda.front());
        coda.pop_front();
        return risposta;
    }

    Risposta Messaggio(const QString &testo, Piattaforma::Pulsanti pulsanti,
                       Piattaforma::Icona icona, const QString &titolo) override
    {
        messaggi.append({testo, pulsanti, icona, titolo});
        return Prossima(risposte).value_or(Piattaforma::RispostaEsc(pulsanti));
    }

    std::optional<QString> File(Piattaforma::DialogoFile::Modo modo, const QString &proposto,
                                const QString &filtro) override
    {
        dialoghi.append({modo, proposto, filtro});
        return Prossima(file).value_or(std::nullopt);
    }

    int Modale(QDialog *finestra) override
    {
        modaliMostrati.append(finestra->objectName());
        finestra->setModal(true);
        finestra->show();
        if (auto azione = Prossima(modali)) (*azione)(finestra);
        if (finestra->isVisible()) {
            ++senzaRisposta;
            finestra->reject();
        }
        return finestra->result();
    }

    bool Visualizzatore(const QString &percorso, const std::function<void()> &nonAperto) override
    {
        if (visualizzatoreMancante) return false;
        visualizzatori.append(percorso);
        if (senzaProgramma && nonAperto) nonAperto();
        return true;
    }

    std::optional<QSize> Schermo() override { return schermo; }
};

Risponditore &Condiviso()
{
    static Risponditore stato;
    return stato;
}

} // namespace

void Attiva()
{
    Piattaforma::InstallaRisponditore(&Condiviso());
}
void Disattiva()
{
    Piattaforma::InstallaRisponditore(nullptr);
}
void RispondiMessaggio(Risposta risposta)
{
    Condiviso().risposte.push_back(risposta);
}
void RispondiFile(std::optional<QString> percorso)
{
    Condiviso().file.push_back(std::move(percorso));
}
void QuandoModale(std::function<void(QDialog *)> azione)
{
    Condiviso().modali.push_back(std::move(azione));
}
void ImpostaSchermo(QSize twip)
{
    Condiviso().schermo = twip;
}

QVector<Messaggio> Messaggi()
{
    return std::exchange(Condiviso().messaggi, {});
}
QVector<Dialogo> Dialoghi()
{
    return std::exchange(Condiviso().dialoghi, {});
}
QStringList ModaliMostrati()
{
    return std::exchange(Condiviso().modaliMostrati, {});
}
QStringList VisualizzatoriAvviati()
{
    return std::exchange(Condiviso().visualizzatori, {});
}
void VisualizzatoreMancante(bool mancante)
{
    Condiviso().visualizzatoreMancante = mancante;
}
void NessunProgrammaPerIlFile(bool nessuno)
{
    Condiviso().senzaProgramma = nessuno;
}
int SenzaRisposta()
{
    return Condiviso().senzaRisposta;
}
int RisposteAvanzate()
{
    const Risponditore &s = Condiviso();
    return int(s.risposte.size() + s.file.size() + s.modali.size());
}

void Azzera()
{
    Condiviso() = Risponditore();
}

QStringList TestiMessaggi(const QVector<Messaggio> &messaggi)
{
    QStringList testi;
    for (const Messaggio &m : messaggi)
        testi.append(m.testo);
    return testi;
}

char *toString(const Messaggio &m)
{
    return QTest::toString(QStringLiteral("\"%1\" (pulsanti %2, icona %3, titolo \"%4\")")
                               .arg(m.testo)
                               .arg(int(m.pulsanti))
                               .arg(int(m.icona))
                               .arg(m.titolo));
}

} // namespace Copione
