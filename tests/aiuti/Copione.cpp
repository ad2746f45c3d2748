#include "Copione.h"

#include <QDialog>
#include <deque>

namespace Copione {

namespace {

using Piattaforma::Risposta;

class Risponditore : public Piattaforma::Risponditore
{
public:
    std::deque<Risposta> risposte;
    std::deque<std::pair<bool, QString>> file;
    std::deque<std::function<void(QDialog *)>> modali;
    std::optional<QSize> schermo;
    QVector<Copione::Messaggio> messaggi;
    QVector<Dialogo> dialoghi;
    QStringList modaliMostrati;
    QStringList visualizzatori;
    bool visualizzatoreMancante = false;
    int senzaRisposta = 0;

    Risposta Messaggio(const QString &testo, Piattaforma::Pulsanti pulsanti,
                       Piattaforma::Icona icona, const QString &titolo) override
    {
        messaggi.append({testo, pulsanti, icona, titolo});
        if (risposte.empty()) {
            ++senzaRisposta;
            return Piattaforma::RispostaEsc(pulsanti);
        }
        const Risposta r = risposte.front();
        risposte.pop_front();
        return r;
    }

    std::optional<QString> File(Piattaforma::DialogoFile::Modo modo, const QString &proposto,
                                const QString &filtro) override
    {
        dialoghi.append({modo, proposto, filtro});
        if (file.empty()) {
            ++senzaRisposta;
            return std::nullopt;
        }
        const auto [scelto, percorso] = file.front(); // a path, or cancelled
        file.pop_front();
        if (!scelto) return std::nullopt;
        return percorso;
    }

    int Modale(QDialog *finestra) override
    {
        modaliMostrati.append(finestra->objectName());
        finestra->setModal(true);
        finestra->show();
        if (modali.empty()) {
            ++senzaRisposta;
        } else {
            auto azione = std::move(modali.front());
            modali.pop_front();
            azione(finestra);
        }
        if (finestra->isVisible()) {
            ++senzaRisposta;
            finestra->reject();
        }
        return finestra->result();
    }

    bool Visualizzatore(const QString &percorso) override
    {
        if (visualizzatoreMancante) return false;
        visualizzatori.append(percorso);
        return true;
    }

    std::optional<QSize> Schermo() override { return schermo; }
};

Risponditore &Stato()
{
    static Risponditore stato;
    return stato;
}

} // namespace

void Attiva()
{
    Piattaforma::InstallaRisponditore(&Stato());
}
void Disattiva()
{
    Piattaforma::InstallaRisponditore(nullptr);
}
void RispondiMessaggio(Risposta risposta)
{
    Stato().risposte.push_back(risposta);
}
void RispondiFile(std::optional<QString> percorso)
{
    Stato().file.emplace_back(percorso.has_value(), percorso.value_or(QString()));
}
void QuandoModale(std::function<void(QDialog *)> azione)
{
    Stato().modali.push_back(std::move(azione));
}
void ImpostaSchermo(QSize twip)
{
    Stato().schermo = twip;
}

QVector<Messaggio> Messaggi()
{
    return std::exchange(Stato().messaggi, {});
}
QVector<Dialogo> Dialoghi()
{
    return std::exchange(Stato().dialoghi, {});
}
QStringList ModaliMostrati()
{
    return std::exchange(Stato().modaliMostrati, {});
}
QStringList VisualizzatoriAvviati()
{
    return std::exchange(Stato().visualizzatori, {});
}
void VisualizzatoreMancante(bool mancante)
{
    Stato().visualizzatoreMancante = mancante;
}
int SenzaRisposta()
{
    return Stato().senzaRisposta;
}
int RisposteAvanzate()
{
    const Risponditore &s = Stato();
    return int(s.risposte.size() + s.file.size() + s.modali.size());
}

void Azzera()
{
    Stato() = Risponditore();
}

QStringList TestiMessaggi(const QVector<Messaggio> &messaggi)
{
    QStringList testi;
    for (const Messaggio &m : messaggi)
        testi.append(m.testo);
    return testi;
}

} // namespace Copione
