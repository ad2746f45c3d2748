#include "FinestraTrova.h"

#include "finestre/CercaParola.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/SostituisciTutto.h"
#include "nucleo/Contesto.h"
#include "piattaforma/PosizioneFinestra.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Piattaforma::Pixel;

namespace {
const QString TestoSostituisciTutto = QStringLiteral("S&ostituisci tutto");
const QString TestoInterrompi = QStringLiteral("I&nterrompi");
} // namespace

FinestraTrova::FinestraTrova(FinestraPrincipale &form)
    : QDialog(nullptr), m_contesto(form.Condiviso()), m_form(form)
{
    setObjectName(QStringLiteral("FinestraTrova"));
    setWindowTitle(QStringLiteral("Trova"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto posa = [](QWidget *w, const char *nome, int x, int y, int larghezza, int altezza) {
        w->setObjectName(QString::fromLatin1(nome));
        w->setGeometry(Pixel(x), Pixel(y), Pixel(larghezza), Pixel(altezza));
    };
    auto pulsante = [&](QWidget *padre, const char *nome, const QString &testo, int x, int y,
                        int larghezza, void (FinestraTrova::*gestore)()) {
        auto *b = new QPushButton(testo, padre);
        posa(b, nome, x, y, larghezza, 375);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, gestore);
        return b;
    };
    auto pannello = [&](const char *nome, int x, int y, int larghezza, int altezza) {
        auto *p = new QWidget(this);
        posa(p, nome, x, y, larghezza, altezza);
        p->setAutoFillBackground(true); // the panel in front covers the one behind
        return p;
    };

    Label1 = new QLabel(QStringLiteral("&Testo da trovare:"), this);
    posa(Label1, "Label1", 120, 120, 1455, 255);
    TestoDaTrovare = new QLineEdit(this);
    posa(TestoDaTrovare, "TestoDaTrovare", 1560, 120, 2895, 285);
    Label1->setBuddy(TestoDaTrovare);
    Command1 = pulsante(this, "Command1", QStringLiteral("Trova succ&essivo"), 4680, 120, 1455,
                        &FinestraTrova::Command1_Click);
    Command1->setDefault(true);

    Picture1 = pannello("Picture1", 120, 600, 6135, 975);
    Label2 = new QLabel(QStringLiteral("Sostitui&re con:"), Picture1);
    posa(Label2, "Label2", 0, 120, 1335, 255);
    TestoSostitutivo = new QLineEdit(Picture1);
    posa(TestoSostitutivo, "TestoSostitutivo", 1440, 120, 2895, 285);
    Label2->setBuddy(TestoSostitutivo);
    Command2 = pulsante(Picture1, "Command2", QStringLiteral("&Sostituisci"), 4560, 120, 1455,
                        &FinestraTrova::Command2_Click);
    Command6 = pulsante(Picture1, "Command6", QStringLiteral("So&lo trova"), 0, 600, 1335,
                        &FinestraTrova::Command6_Click);
    Command4 = pulsante(Picture1, "Command4", TestoSostituisciTutto, 4560, 600, 1455,
                        &FinestraTrova::Command4_Click);

    Picture2 = pannello("Picture2", 0, 600, 6255, 735);
    Command7 = pulsante(Picture2, "Command7", QStringLiteral("< Sost&ituisci"), 4680, 240, 1455,
                        &FinestraTrova::Command7_Click);

    Picture3 = pannello("Picture3", 120, MisureTrova.topOpzioni, 6135, 615);
    Check1 = new QCheckBox(QStringLiteral("Solo &parole intere"), Picture3);
    posa(Check1, "Check1", 0, 0, 2175, 255);
    Check2 = new QCheckBox(QStringLiteral("&Maiuscole/minuscole"), Picture3);
    posa(Check2, "Check2", 0, 360, 2175, 255);
    Label3 = new QLabel(QStringLiteral("&Direzione:"), Picture3);
    posa(Label3, "Label3", 2160, 120, 855, 255);
    Combo1 = new QComboBox(Picture3);
    posa(Combo1, "Combo1", 3000, 120, 1335, 315);
    Combo1->addItems({QStringLiteral("Su"), QStringLiteral("Giù"), QStringLiteral("Tutte")});
    Combo1->setCurrentIndex(2);
    Label3->setBuddy(Combo1);
    Command5 = pulsante(Picture3, "Command5", QStringLiteral("&Chiudi"), 4560, 120, 1455,
                        &FinestraTrova::Command5_Click);

    QWidget *ordine[] = {TestoDaTrovare, TestoSostitutivo, Command1, Command2, Command4, Check1,
                         Check2,         Combo1,           Command7, Command6, Command5};
    for (size_t i = 0; i + 1 < std::size(ordine); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    ModoTrova();
    PosizioneFinestra::EvitaSelezione(this, m_form.Editor());
}

void FinestraTrova::Modo(QWidget *pannello, const QString &titolo, Misure misure)
{
    // The panel behind is hidden as well as covered: its buttons and access
    // keys must not act, and Tab must not walk into it.
    for (QWidget *p : {Picture1, Picture2})
        p->setVisible(p == pannello);
    pannello->raise();
    Picture3->move(Picture3->x(), Pixel(misure.topOpzioni));
    Picture3->raise();
    setWindowTitle(titolo);
    setFixedSize(Pixel(6195), Pixel(misure.altezza - AltezzaCornice));
}

void FinestraTrova::ModoTrova(Misure misure)
{
    Modo(Picture2, QStringLiteral("Trova"), misure);
}

void FinestraTrova::ModoSostituisci(Misure misure)
{
    Modo(Picture1, QStringLiteral("Sostituisci"), misure);
}

void FinestraTrova::Mostra()
{
    Piattaforma::MostraSopra(this, &m_form);
    activateWindow();
    TestoDaTrovare->setFocus();
}

QString FinestraTrova::ParolaCercata() const
{
    return TestoDaTrovare->text();
}

qint16 FinestraTrova::ValoreIntere() const
{
    return Check1->isChecked() ? 1 : 0;
}
qint16 FinestraTrova::ValoreMaiuscole() const
{
    return Check2->isChecked() ? 1 : 0;
}

void FinestraTrova::Command1_Click()
{
    if (m_inCorso) return;
    CercaParola(m_form, TestoDaTrovare->text(), QString(), ValoreMaiuscole(), ValoreIntere(),
                qint16(Combo1->currentIndex()));
}

void FinestraTrova::Command2_Click()
{
    if (m_inCorso) return;
    if (m_form.Editor()->SostituisciSelezione(TestoSostitutivo->text()))
        m_contesto.TestoModificato = true;
    Command1->setFocus();
}

void FinestraTrova::AbilitaComandi(bool abilita)
{
    for (QWidget *w : std::initializer_list<QWidget *>{Command1, Command5, Command6, Command2,
                                                       Check1, Check2, Combo1})
        w->setEnabled(abilita);
}

void FinestraTrova::MostraInterrompi(bool interrompibile)
{
    m_interrompibile = interrompibile;
    AbilitaComandi(!interrompibile);
    Command4->setText(interrompibile ? TestoInterrompi : TestoSostituisciTutto);
}

void FinestraTrova::Command4_Click()
{
    if (!m_interrompibile) {
        if (m_inCorso) return; // the previous run has not noticed its interruption yet
        MostraInterrompi(true);
        m_inCorso = true;
        SostituisciTutto(m_form, TestoDaTrovare->text(), TestoSostitutivo->text(),
                         ValoreMaiuscole(), ValoreIntere(), qint16(Combo1->currentIndex()));
    } else {
        m_contesto.RichiestaInterruzione = 1;
        MostraInterrompi(false);
        m_form.AzzeraAvanzamento();
        m_form.RipristinaStato();
    }
}

void FinestraTrova::FineSostituzione()
{
    m_inCorso = false;
    MostraInterrompi(false);
    // Closed during the run: the main window waited for the run to end.
    if (!isVisible()) m_form.setEnabled(true);
}

void FinestraTrova::Command5_Click()
{
    hide();
    // While a replace-all is still writing, the main window waits for it: a
    // text opened or typed meanwhile would be overwritten by its result.
    if (m_inCorso) return;
    m_form.setEnabled(true);
    m_form.activateWindow();
    m_form.Editor()->setFocus();
}

void FinestraTrova::Command6_Click()
{
    ModoTrova();
    TestoDaTrovare->setFocus();
}

void FinestraTrova::Command7_Click()
{
    ModoSostituisci(MisureSostituisciDaTrova);
}

void FinestraTrova::closeEvent(QCloseEvent *e)
{
    Command5_Click();
    e->ignore();
}

void FinestraTrova::keyPressEvent(QKeyEvent *e)
{
    // No button answers Escape.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}
