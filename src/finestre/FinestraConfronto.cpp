#include "FinestraConfronto.h"

#include "finestre/EditorTesto.h"
#include "piattaforma/Piattaforma.h"

#include <QAbstractTableModel>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace {

enum Colonna { NumeroOriginale, TestoOriginale, NumeroAttuale, TestoAttuale, Colonne };
constexpr int RuoloSegni = Qt::UserRole;
// The editor's mark colour, darker: a thin line must stand out on white.
const QColor ColoreSottolineato = EditorTesto::ColoreSegni().darker(160);
constexpr int Margine = 3;               // pixels left and right of a line's text
constexpr int LimiteSuggerimento = 2000; // characters of a side shown in the tooltip
constexpr int ColonnePasso = 4;          // columns an arrow key moves the text by

// The width of one character of the fixed-width `carattere` as text lays it
// out (a long run, so that rounded advances add up as they do on screen).
qreal Passo(const QFont &carattere)
{
    return QFontMetricsF(carattere).horizontalAdvance(QString(100, u'x')) / 100;
}

// How many columns a tab reaches to: the editor's tab stop (a text
// document's default) in characters.
int ColonneTab(const QFont &carattere)
{
    const qreal tabulazione = QTextDocument().defaultTextOption().tabStopDistance();
    return std::max(1, int(std::lround(tabulazione / Passo(carattere))));
}

// The column characters of one line start at, tabs reaching to the next
// multiple of `tab`; asked for in increasing order, each character is read once.
class ColonneRiga
{
public:
    ColonneRiga(QStringView riga, int tab) : m_riga(riga), m_tab(tab) {}
    qsizetype Di(qsizetype indice)
    {
        for (; m_i < indice && m_i < m_riga.size(); ++m_i)
            m_colonna = m_riga[m_i] == u'\t' ? (m_colonna / m_tab + 1) * m_tab : m_colonna + 1;
        return m_colonna;
    }

private:
    QStringView m_riga;
    int m_tab;
    qsizetype m_i = 0, m_colonna = 0;
};

// `riga` with its tabs as the spaces up to the next tab column.
QString Espansa(const QString &riga, int tab)
{
    if (!riga.contains(u'\t')) return riga;
    QString espansa;
    espansa.reserve(riga.size() + 4 * tab);
    for (QChar c : riga)
        if (c == u'\t')
            espansa.append(QString(tab - espansa.size() % tab, u' '));
        else
            espansa.append(c);
    return espansa;
}

// The columns of the longest of `righe`: one quick pass, lines without a
// tab are as long as they are.
qsizetype ColonneMassime(const QStringList &righe, int tab)
{
    qsizetype massimo = 0;
    for (const QString &riga : righe) {
        if (riga.size() * tab <= massimo) continue;
        const qsizetype colonne =
            riga.contains(u'\t') ? ColonneRiga(riga, tab).Di(riga.size()) : riga.size();
        massimo = std::max(massimo, colonne);
    }
    return massimo;
}

// The columns fit the view: moving the current row scrolls up and down
// only. Sideways the text moves inside its columns by the offset `Barra`.
class TabellaConfronto : public QTableView
{
public:
    using QTableView::QTableView;
    QScrollBar *Barra = nullptr;
    void scrollTo(const QModelIndex &indice, ScrollHint suggerimento) override
    {
        const int orizzontale = horizontalScrollBar()->value();
        QTableView::scrollTo(indice, suggerimento);
        horizontalScrollBar()->setValue(orizzontale);
    }

protected:
    // The arrows left and right move the text sideways (the row is the selection).
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->modifiers() == Qt::NoModifier &&
            (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right))
            Barra->triggerAction(e->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                          : QAbstractSlider::SliderSingleStepAdd);
        else
            QTableView::keyPressEvent(e);
    }
};

// The comparison as table rows: it reads the result, built once, and makes
// nothing per row until the row is shown.
class ModelloConfronto : public QAbstractTableModel
{
public:
    ModelloConfronto(const Confronto::Risultato &r, int tab, QObject *padre)
        : QAbstractTableModel(padre), m_r(r), m_tab(tab)
    {
    }
    int rowCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : int(m_r.Righe.size());
    }
    int columnCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : Colonne;
    }
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo) const override
    {
        if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return {};
        switch (sezione) {
        case TestoOriginale:
            return QStringLiteral("Originale");
        case TestoAttuale:
            return QStringLiteral("Attuale");
        default:
            return QStringLiteral("Riga");
        }
    }
    QVariant data(const QModelIndex &indice, int ruolo) const override
    {
        const Confronto::Riga &riga = m_r.Righe[indice.row()];
        const bool sinistra = indice.column() < NumeroAttuale;
        const qsizetype numero = sinistra ? riga.Originale : riga.Attuale;
        if (ruolo == Qt::ToolTipRole) return Suggerimento(riga);
        if (ruolo == Qt::BackgroundRole && riga.Cambiata)
            return QColor(numero < 0 ? QColor(0xe8, 0xe8, 0xe8) : QColor(0xff, 0xf6, 0xd5));
        if (numero < 0) return {};
        if (ruolo == Qt::DisplayRole) {
            if (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale)
                return QString::number(numero + 1);
            return (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[numero];
        }
        if (ruolo == Qt::TextAlignmentRole &&
            (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (ruolo == RuoloSegni && indice.column() == (sinistra ? TestoOriginale : TestoAttuale))
            return QVariant::fromValue(indice.row());
        return {};
    }

private:
    const Confronto::Risultato &m_r;
    int m_tab;

    // Both sides of a row in full (up to a limit), as plain text whatever it holds.
    QString Suggerimento(const Confronto::Riga &riga) const
    {
        const auto lato = [this](const QString &titolo, const QStringList &righe, qsizetype n) {
            QString testo = n < 0 ? QStringLiteral("(nessuna riga)")
                                  : Espansa(righe[n].left(LimiteSuggerimento), m_tab);
            if (n >= 0 && righe[n].size() > LimiteSuggerimento) testo += u'…';
            const QString numero = n < 0 ? QString() : QStringLiteral(" (riga %1)").arg(n + 1);
            return QStringLiteral("<b>%1</b>%2<pre>%3</pre>")
                .arg(titolo, numero, testo.toHtmlEscaped());
        };
        return lato(QStringLiteral("Originale"), m_r.RigheOriginale, riga.Originale) +
               lato(QStringLiteral("Attuale"), m_r.RigheAttuale, riga.Attuale);
    }
};

// Draws a line with its changed words on a stronger background; tabs as
// spaces so that the marks fall on their words. The line starts `barra`'s
// value in pixels to the left of its column: both sides move together.
class DelegatoSegni : public QStyledItemDelegate
{
public:
    DelegatoSegni(const Confronto::Risultato &r,
                  const QHash<qsizetype, QList<Confronto::Tratto>> &segniCorsa, int tab,
                  const QScrollBar *barra, QObject *padre)
        : QStyledItemDelegate(padre), m_r(r), m_segniCorsa(segniCorsa), m_tab(tab), m_barra(barra)
    {
    }
    void paint(QPainter *p, const QStyleOptionViewItem &opzione,
               const QModelIndex &indice) const override
    {
        const QVariant riga = indice.data(RuoloSegni);
        if (!riga.isValid()) {
            QStyledItemDelegate::paint(p, opzione, indice);
            return;
        }
        const Confronto::Riga &r = m_r.Righe[riga.toInt()];
        const bool sinistra = indice.column() == TestoOriginale;
        const QString testo =
            (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[sinistra ? r.Originale : r.Attuale];
        const QList<Confronto::Tratto> &segni = sinistra ? r.SegniOriginale : r.SegniAttuale;

        QStyleOptionViewItem base = opzione;
        initStyleOption(&base, indice);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, p, base.widget);

        const QString mostrata = Espansa(testo, m_tab);
        const qreal passo = Passo(opzione.font);
        const QRect area = opzione.rect.adjusted(Margine, 0, -Margine, 0);
        const int scostamento = m_barra->value();
        const qreal inizioRiga = area.left() - scostamento;
        const int destraVista = area.right();
        // Only the columns inside the cell are drawn: a line may be far wider.
        const qsizetype primaColonna =
            std::max<qsizetype>(0, qsizetype(std::floor(scostamento / passo)) - 1);
        const qsizetype ultimaColonna =
            qsizetype(std::ceil((scostamento + area.width()) / passo)) + 1;
        const auto tratto = [&](ColonneRiga &colonne, const Confronto::Tratto &t, int alto,
                                int altezza) {
            const qsizetype inizio = colonne.Di(t.Inizio);
            const qsizetype fine = colonne.Di(t.Inizio + t.Lunghezza);
            return QRectF(inizioRiga + inizio * passo, alto, (fine - inizio) * passo, altezza);
        };
        p->save();
        p->setClipRect(area);
        const QColor segno = sinistra ? QColor(0xff, 0xb3, 0xb3) : QColor(0xa6, 0xe6, 0xa6);
        ColonneRiga colonne(testo, m_tab);
        for (const Confronto::Tratto &t : segni) {
            const QRectF r = tratto(colonne, t, area.top() + 1, area.height() - 2);
            if (r.left() > destraVista) break;
            p->fillRect(r, segno);
        }
        // The run's replaced words: underlined, so that they show over the
        // change marks too, in the colour the editor marks them with.
        if (!sinistra) {
            ColonneRiga colonneCorsa(testo, m_tab);
            for (const Confronto::Tratto &t : m_segniCorsa.value(riga.toInt())) {
                const QRectF r = tratto(colonneCorsa, t, area.bottom() - 2, 3);
                if (r.left() > destraVista) break;
                p->fillRect(r, ColoreSottolineato);
            }
        }
        p->setPen(opzione.palette.color(QPalette::Text));
        if (primaColonna < mostrata.size())
            p->drawText(QRectF(inizioRiga + primaColonna * passo, area.top(),
                               (ultimaColonna - primaColonna + 1) * passo, area.height()),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        mostrata.mid(primaColonna, ultimaColonna - primaColonna));
        p->restore();
    }

private:
    const Confronto::Risultato &m_r;
    const QHash<qsizetype, QList<Confronto::Tratto>> &m_segniCorsa;
    int m_tab;
    const QScrollBar *m_barra;
};

} // namespace

FinestraConfronto::FinestraConfronto(const QString &originale, const QString &attuale,
                                     QWidget *padre,
                                     const QList<std::pair<qsizetype, qsizetype>> &segniCorsa)
    : QDialog(padre), m_risultato(Confronto::Confronta(originale, attuale))
{
    for (const Confronto::TrattoInRiga &t :
         Confronto::TrattiAttuali(m_risultato, attuale, segniCorsa))
        m_segniCorsa[t.Riga].append(t.Segno);
    setObjectName(QStringLiteral("FinestraConfronto"));
    setWindowTitle(QStringLiteral("Confronto con l'originale"));
    // Most of the screen: long lines need the width.
    const QScreen *schermo = padre && padre->screen() ? padre->screen() : screen();
    const QRect disponibile = schermo ? schermo->availableGeometry() : QRect();
    if (disponibile.isValid())
        resize(disponibile.width() * 9 / 10,
               std::min(Piattaforma::Pixel(9000), disponibile.height() * 9 / 10));
    else
        resize(Piattaforma::Pixel(12000), Piattaforma::Pixel(7500));

    auto *tabella = new TabellaConfronto(this);
    VistaConfronto = tabella;
    VistaConfronto->setObjectName(QStringLiteral("VistaConfronto"));
    VistaConfronto->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    BarraOrizzontale = new QScrollBar(Qt::Horizontal, this);
    BarraOrizzontale->setObjectName(QStringLiteral("BarraOrizzontale"));
    tabella->Barra = BarraOrizzontale;
    m_colonneTab = ColonneTab(VistaConfronto->font());
    m_colonneMassime = std::max(ColonneMassime(m_risultato.RigheOriginale, m_colonneTab),
                                ColonneMassime(m_risultato.RigheAttuale, m_colonneTab));
    VistaConfronto->setModel(new ModelloConfronto(m_risultato, m_colonneTab, VistaConfronto));
    VistaConfronto->setItemDelegate(new DelegatoSegni(m_risultato, m_segniCorsa, m_colonneTab,
                                                      BarraOrizzontale, VistaConfronto));
    VistaConfronto->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(BarraOrizzontale, &QScrollBar::valueChanged, VistaConfronto->viewport(),
            qOverload<>(&QWidget::update));
    VistaConfronto->viewport()->installEventFilter(this);
    VistaConfronto->setSelectionBehavior(QAbstractItemView::SelectRows);
    VistaConfronto->setSelectionMode(QAbstractItemView::SingleSelection);
    VistaConfronto->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VistaConfronto->setShowGrid(false);
    VistaConfronto->setWordWrap(false);
    VistaConfronto->verticalHeader()->hide();
    // Fixed row heights: a table of millions of rows needs no measuring.
    VistaConfronto->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    VistaConfronto->verticalHeader()->setDefaultSectionSize(
        QFontMetrics(VistaConfronto->font()).height() + 2);
    QHeaderView *intestazione = VistaConfronto->horizontalHeader();
    intestazione->setSectionResizeMode(NumeroOriginale, QHeaderView::ResizeToContents);
    intestazione->setSectionResizeMode(NumeroAttuale, QHeaderView::ResizeToContents);
    // Each side half of what the numbers leave (AdattaColonne).
    intestazione->setSectionResizeMode(TestoOriginale, QHeaderView::Fixed);
    intestazione->setSectionResizeMode(TestoAttuale, QHeaderView::Fixed);
    intestazione->setStretchLastSection(false);

    EtichettaRiepilogo = new QLabel(this);
    EtichettaRiepilogo->setObjectName(QStringLiteral("EtichettaRiepilogo"));
    EtichettaRiepilogo->setText(
        m_risultato.RigheCambiate == 1
            ? QStringLiteral("1 riga cambiata")
            : QStringLiteral("%1 righe cambiate").arg(m_risultato.RigheCambiate));

    EtichettaLegenda = new QLabel(this);
    EtichettaLegenda->setObjectName(QStringLiteral("EtichettaLegenda"));
    EtichettaLegenda->setText(QStringLiteral("Sottolineate: le parole sostituite dall'ultima "
                                             "pseudocodificazione"));
    EtichettaLegenda->setVisible(!m_segniCorsa.isEmpty());

    BottonePrecedente = new QPushButton(QStringLiteral("Cambiamento &precedente"), this);
    BottonePrecedente->setObjectName(QStringLiteral("BottonePrecedente"));
    BottonePrecedente->setToolTip(QStringLiteral("Maiusc+F8"));
    BottoneSuccessivo = new QPushButton(QStringLiteral("Cambiamento &successivo"), this);
    BottoneSuccessivo->setObjectName(QStringLiteral("BottoneSuccessivo"));
    BottoneSuccessivo->setToolTip(QStringLiteral("F8"));
    BottoneChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    BottoneChiudi->setObjectName(QStringLiteral("BottoneChiudi"));
    connect(BottonePrecedente, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoPrecedente);
    connect(BottoneSuccessivo, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoSuccessivo);
    connect(BottoneChiudi, &QPushButton::clicked, this, &QDialog::reject); // Esc too
    connect(VistaConfronto, &QTableView::doubleClicked, this,
            [this](const QModelIndex &indice) { ScegliRiga(indice.row()); });

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addWidget(EtichettaRiepilogo, 1);
    pulsanti->addWidget(EtichettaLegenda);
    pulsanti->addWidget(BottonePrecedente);
    pulsanti->addWidget(BottoneSuccessivo);
    pulsanti->addWidget(BottoneChiudi);
    auto *tabellaEBarra = new QVBoxLayout;
    tabellaEBarra->setSpacing(0);
    tabellaEBarra->addWidget(VistaConfronto, 1);
    tabellaEBarra->addWidget(BarraOrizzontale);
    auto *disposizione = new QVBoxLayout(this);
    disposizione->addLayout(tabellaEBarra, 1);
    disposizione->addLayout(pulsanti);

    VistaConfronto->setFocus();
    // Opens on the first change, if any.
    VaiA(Confronto::CambiamentoSuccessivo(m_risultato, -1));
}

void FinestraConfronto::Mostra(const QString &originale, const QString &attuale, QWidget *padre,
                               const QList<std::pair<qsizetype, qsizetype>> &segniCorsa,
                               const std::function<void(qsizetype)> &allaRiga)
{
    FinestraConfronto finestra(originale, attuale, padre, segniCorsa);
    if (allaRiga) connect(&finestra, &FinestraConfronto::RigaScelta, &finestra, allaRiga);
    Piattaforma::MostraModale(&finestra);
}

std::function<void(qsizetype)> FinestraConfronto::AllaRigaDi(EditorTesto *editor)
{
    return [editor](qsizetype riga) {
        editor->VaiAllaRiga(int(std::min<qsizetype>(riga, INT_MAX - 1)) + 1);
    };
}

qsizetype FinestraConfronto::RigaCorrente() const
{
    return VistaConfronto->currentIndex().isValid() ? VistaConfronto->currentIndex().row() : -1;
}

void FinestraConfronto::CambiamentoSuccessivo()
{
    VaiA(Confronto::CambiamentoSuccessivo(m_risultato, RigaCorrente()));
}

void FinestraConfronto::CambiamentoPrecedente()
{
    VaiA(Confronto::CambiamentoPrecedente(m_risultato, RigaCorrente()));
}

void FinestraConfronto::ScegliRiga(qsizetype riga)
{
    const qsizetype attuale = Confronto::RigaAttuale(m_risultato, riga);
    if (attuale < 0) return;
    // Closed first: the comparison neither hides the line nor blocks the editor.
    reject();
    Q_EMIT RigaScelta(attuale);
}

void FinestraConfronto::keyPressEvent(QKeyEvent *e)
{
    // Enter on a row of the table picks it (the table passes Enter on); on a
    // button it stays the button's.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        focusWidget() == VistaConfronto)
        ScegliRiga(RigaCorrente());
    else if (e->key() == Qt::Key_F8 && e->modifiers() == Qt::NoModifier)
        CambiamentoSuccessivo();
    else if (e->key() == Qt::Key_F8 && e->modifiers() == Qt::ShiftModifier)
        CambiamentoPrecedente();
    else
        QDialog::keyPressEvent(e); // Esc closes, as "&Chiudi"
}

void FinestraConfronto::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    AdattaColonne();
    MostraSegno(RigaCorrente());
}

bool FinestraConfronto::eventFilter(QObject *oggetto, QEvent *e)
{
    if (oggetto == VistaConfronto->viewport()) {
        if (e->type() == QEvent::Resize) AdattaColonne();
        // Maiusc+wheel scrolls sideways.
        if (e->type() == QEvent::Wheel) {
            const auto *rotella = static_cast<QWheelEvent *>(e);
            if ((rotella->modifiers() & Qt::ShiftModifier) && rotella->angleDelta().x() == 0) {
                const qreal colonne = rotella->angleDelta().y() / 120.0 * 8;
                BarraOrizzontale->setValue(
                    BarraOrizzontale->value() -
                    int(std::lround(colonne * Passo(VistaConfronto->font()))));
                return true;
            }
        }
    }
    return QDialog::eventFilter(oggetto, e);
}

void FinestraConfronto::AdattaColonne()
{
    QHeaderView *intestazione = VistaConfronto->horizontalHeader();
    const int larghezzaVista = VistaConfronto->viewport()->width();
    const int numeri =
        intestazione->sectionSize(NumeroOriginale) + intestazione->sectionSize(NumeroAttuale);
    const int resto = std::max(0, larghezzaVista - numeri);
    const int meta = resto / 2;
    intestazione->resizeSection(TestoOriginale, meta);
    intestazione->resizeSection(TestoAttuale, resto - meta);
    // The offset reaches the end of the longest line in the narrower column.
    const qreal passo = Passo(VistaConfronto->font());
    const qreal necessaria = std::ceil(m_colonneMassime * passo) + 2 * Margine + 1;
    BarraOrizzontale->setRange(0, int(std::clamp<qreal>(necessaria - meta, 0, INT_MAX / 4)));
    BarraOrizzontale->setPageStep(std::max(1, meta));
    BarraOrizzontale->setSingleStep(std::max(1, int(std::lround(ColonnePasso * passo))));
}

void FinestraConfronto::MostraSegno(qsizetype riga)
{
    if (riga < 0 || riga >= m_risultato.Righe.size()) return;
    const Confronto::Riga &r = m_risultato.Righe[riga];
    const qreal passo = Passo(VistaConfronto->font());
    // From where to where, in pixels from the line's start, the first mark of
    // each side lies; a side without marks counts its line's start when the
    // line is only there.
    const auto primo = [&](qsizetype numero, const QStringList &righe,
                           const QList<Confronto::Tratto> &segni) -> std::pair<qreal, qreal> {
        if (numero < 0) return {-1, -1};
        if (segni.isEmpty()) return {0, 0};
        ColonneRiga colonne(righe[numero], m_colonneTab);
        const qsizetype inizio = colonne.Di(segni.first().Inizio);
        const qsizetype fine = colonne.Di(segni.first().Inizio + segni.first().Lunghezza);
        return {inizio * passo, fine * passo};
    };
    auto sinistra = primo(r.Originale, m_risultato.RigheOriginale, r.SegniOriginale);
    auto destra = primo(r.Attuale, m_risultato.RigheAttuale, r.SegniAttuale);
    if (!r.SegniOriginale.isEmpty() && r.SegniAttuale.isEmpty() && r.Attuale >= 0)
        destra = {-1, -1};
    if (!r.SegniAttuale.isEmpty() && r.SegniOriginale.isEmpty() && r.Originale >= 0)
        sinistra = {-1, -1};
    std::pair<qreal, qreal> mostra = sinistra.first >= 0 ? sinistra : destra;
    if (mostra.first < 0) return;
    // The text width of the narrower column.
    const int larghezza =
        VistaConfronto->horizontalHeader()->sectionSize(TestoOriginale) - 2 * Margine;
    const int spazio = int(std::lround(4 * passo));
    // Both sides' first marks when they fit together.
    if (sinistra.first >= 0 && destra.first >= 0) {
        const std::pair<qreal, qreal> insieme = {std::min(sinistra.first, destra.first),
                                                 std::max(sinistra.second, destra.second)};
        if (insieme.second - insieme.first + 2 * spazio <= larghezza) mostra = insieme;
    }
    if (mostra.second <= larghezza)
        BarraOrizzontale->setValue(0);
    else
        BarraOrizzontale->setValue(
            std::max(0, std::min(int(mostra.first) - spazio,
                                 int(std::ceil(mostra.second)) + spazio - larghezza)));
}

void FinestraConfronto::VaiA(qsizetype riga)
{
    if (riga < 0) return; // no change that way: the row stays
    const QModelIndex indice = VistaConfronto->model()->index(int(riga), TestoOriginale);
    VistaConfronto->setCurrentIndex(indice);
    VistaConfronto->scrollTo(indice, QAbstractItemView::PositionAtCenter);
    MostraSegno(riga);
}
