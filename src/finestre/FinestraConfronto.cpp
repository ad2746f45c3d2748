#include "FinestraConfronto.h"

#include "finestre/Colori.h"
#include "finestre/EditorTesto.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "piattaforma/Piattaforma.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
// The largest text whose comments and strings are coloured, as in the editor.
constexpr qsizetype LimiteColorazione = 2 * 1024 * 1024;
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

// The comparison as table rows (those of `righe`, all or the changed ones):
// it reads the result, built once, and makes nothing per row until the row
// is shown.
class ModelloConfronto : public QAbstractTableModel
{
public:
    ModelloConfronto(const Confronto::Risultato &r, const QList<qsizetype> &righe, const int &tab,
                     QWidget *vista)
        : QAbstractTableModel(vista), m_vista(vista), m_r(r), m_righe(righe), m_tab(tab)
    {
    }
    void Ricarica()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : int(m_righe.size());
    }
    int columnCount(const QModelIndex &padre) const override
    {
        return padre.isValid() ? 0 : Colonne;
    }
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo) const override
    {
        // The hidden row header asks for no height of its own.
        if (o == Qt::Vertical && ruolo == Qt::SizeHintRole) return QSize(1, 1);
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
        if (indice.row() >= m_righe.size()) return {};
        const qsizetype numeroRiga = m_righe[indice.row()];
        const Confronto::Riga &riga = m_r.Righe[numeroRiga];
        const bool sinistra = indice.column() < NumeroAttuale;
        const qsizetype numero = sinistra ? riga.Originale : riga.Attuale;
        if (ruolo == Qt::ToolTipRole) return Suggerimento(riga);
        if (ruolo == Qt::BackgroundRole && riga.Cambiata) {
            const QPalette &tavolozza = m_vista->palette();
            return numero < 0 ? Colori::RigaAssente(tavolozza) : Colori::RigaCambiata(tavolozza);
        }
        if (numero < 0) return {};
        if (ruolo == Qt::DisplayRole) {
            if (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale)
                return QString::number(numero + 1);
            return (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[numero];
        }
        if (ruolo == Qt::TextAlignmentRole &&
            (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale))
            return int(Qt::AlignRight | Qt::AlignTop);
        if (ruolo == RuoloSegni && indice.column() == (sinistra ? TestoOriginale : TestoAttuale))
            return QVariant::fromValue(numeroRiga);
        return {};
    }

private:
    const QWidget *m_vista;
    const Confronto::Risultato &m_r;
    const QList<qsizetype> &m_righe;
    const int &m_tab;

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

// Stretches of a line as the columns they take, tabs expanded.
QList<std::pair<qsizetype, qsizetype>> InColonne(const QString &riga, int tab,
                                                 const QList<Confronto::Tratto> &tratti)
{
    QList<std::pair<qsizetype, qsizetype>> colonne;
    colonne.reserve(tratti.size());
    ColonneRiga misura(riga, tab);
    for (const Confronto::Tratto &t : tratti) {
        const qsizetype inizio = misura.Di(t.Inizio);
        colonne.append({inizio, misura.Di(t.Inizio + t.Lunghezza)});
    }
    return colonne;
}

// Draws a line with its changed words on a stronger background, its comments
// and strings in their colour; tabs as spaces so that the marks fall on their
// words. Unwrapped, the line starts `barra`'s value in pixels to the left of
// its column (both sides move together); wrapped, it breaks every
// `perRiga()` columns onto the next line of the row.
class DelegatoSegni : public QStyledItemDelegate
{
public:
    DelegatoSegni(const FinestraConfronto &finestra, const int &tab, const QScrollBar *barra,
                  std::function<qsizetype()> perRiga, QObject *padre)
        : QStyledItemDelegate(padre), m_f(finestra), m_r(finestra.Risultato()), m_tab(tab),
          m_barra(barra), m_perRiga(std::move(perRiga))
    {
    }
    // Every cell of a row as high as the row: one line, or its wrapped lines.
    // A line number's width is its digits' (cheap: every row is asked when
    // the rows wrap).
    QSize sizeHint(const QStyleOptionViewItem &opzione, const QModelIndex &indice) const override
    {
        int larghezza = 1;
        if (indice.column() == NumeroOriginale || indice.column() == NumeroAttuale) {
            const qsizetype cifre = indice.data(Qt::DisplayRole).toString().size();
            larghezza = int(cifre) * opzione.fontMetrics.horizontalAdvance(u'9') + 4 * Margine;
        }
        return QSize(larghezza, m_f.AltezzaRiga(m_f.RigheMostrate().value(indice.row(), -1)));
    }
    void paint(QPainter *p, const QStyleOptionViewItem &opzione,
               const QModelIndex &indice) const override
    {
        const QVariant riga = indice.data(RuoloSegni);
        if (!riga.isValid()) {
            QStyleOptionViewItem numero = opzione;
            numero.displayAlignment = Qt::AlignRight | Qt::AlignTop;
            QStyledItemDelegate::paint(p, numero, indice);
            return;
        }
        const qsizetype numeroRiga = riga.value<qsizetype>();
        const Confronto::Riga &r = m_r.Righe[numeroRiga];
        const bool sinistra = indice.column() == TestoOriginale;
        const QString testo =
            (sinistra ? m_r.RigheOriginale : m_r.RigheAttuale)[sinistra ? r.Originale : r.Attuale];
        const QList<Confronto::Tratto> &segni = sinistra ? r.SegniOriginale : r.SegniAttuale;

        QStyleOptionViewItem base = opzione;
        initStyleOption(&base, indice);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, p, base.widget);

        const QPalette &tavolozza = opzione.palette;
        const QString mostrata = Espansa(testo, m_tab);
        const qreal passo = Passo(opzione.font);
        const QRect area = opzione.rect.adjusted(Margine, 0, -Margine, 0);
        const int alto = QFontMetrics(opzione.font).height();
        const qsizetype perRiga = m_perRiga();
        const int scostamento = perRiga > 0 ? 0 : m_barra->value();
        const qreal inizioRiga = area.left() - scostamento;
        // Where column `c` is drawn: its place on its line, and its line's top.
        const auto punto = [&](qsizetype c) -> QPointF {
            if (perRiga <= 0) return {inizioRiga + c * passo, qreal(area.top() + 1)};
            return {area.left() + (c % perRiga) * passo,
                    qreal(area.top() + 1 + c / perRiga * alto)};
        };
        // Fills columns [da, a) from `su` to `su + altezza` within each line.
        const auto riempi = [&](qsizetype da, qsizetype a, int su, int altezza, const QColor &c) {
            while (da < a) {
                const qsizetype fineLinea =
                    perRiga > 0 ? std::min(a, (da / perRiga + 1) * perRiga) : a;
                const QPointF inizio = punto(da);
                if (perRiga <= 0 && inizio.x() > area.right()) return;
                p->fillRect(
                    QRectF(inizio.x(), inizio.y() - 1 + su, (fineLinea - da) * passo, altezza), c);
                da = fineLinea;
            }
        };
        // Only the columns inside the cell are drawn: a line may be far wider.
        const qsizetype primaColonna =
            perRiga > 0 ? 0
                        : std::max<qsizetype>(0, qsizetype(std::floor(scostamento / passo)) - 1);
        const qsizetype ultimaColonna =
            perRiga > 0 ? (area.height() / std::max(1, alto) + 1) * perRiga
                        : qsizetype(std::ceil((scostamento + area.width()) / passo)) + 1;

        p->save();
        p->setClipRect(area);
        const QColor segno =
            sinistra ? Colori::SegnoOriginale(tavolozza) : Colori::SegnoAttuale(tavolozza);
        for (const auto &[da, a] : InColonne(testo, m_tab, segni)) {
            if (perRiga <= 0 && punto(da).x() > area.right()) break;
            riempi(da, a, 0, alto, segno);
        }
        // The run's replaced words: underlined, so that they show over the
        // change marks too.
        if (!sinistra) {
            const QColor sotto = Colori::Sottolineatura(tavolozza);
            for (const auto &[da, a] : InColonne(testo, m_tab, m_f.SegniCorsa().value(numeroRiga)))
                riempi(da, a, alto - 3, 3, sotto);
        }
        // The text, in runs of plain and of comment colour.
        const QColor normale = tavolozza.color(QPalette::Text);
        QColor commento = Colori::Commento(tavolozza);
        for (const QColor &sotto : {Colori::RigaCambiata(tavolozza), segno})
            commento = Colori::Leggibile(commento, sotto);
        const auto commenti = InColonne(
            testo, m_tab,
            (sinistra ? m_f.CommentiOriginale() : m_f.CommentiAttuale()).value(numeroRiga));
        qsizetype c = primaColonna;
        const qsizetype fine = std::min<qsizetype>(ultimaColonna, mostrata.size());
        auto zona = commenti.cbegin();
        while (c < fine) {
            while (zona != commenti.cend() && zona->second <= c)
                ++zona;
            const bool inCommento = zona != commenti.cend() && zona->first <= c;
            qsizetype a = inCommento ? std::min(fine, zona->second)
                                     : std::min(fine, zona != commenti.cend() ? zona->first : fine);
            if (perRiga > 0) a = std::min(a, (c / perRiga + 1) * perRiga);
            p->setPen(inCommento ? commento : normale);
            const QPointF inizio = punto(c);
            p->drawText(QRectF(inizio.x(), inizio.y() - 1, (a - c + 1) * passo, alto),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        mostrata.mid(c, a - c));
            c = a;
        }
        p->restore();
    }

private:
    const FinestraConfronto &m_f;
    const Confronto::Risultato &m_r;
    const int &m_tab;
    const QScrollBar *m_barra;
    std::function<qsizetype()> m_perRiga;
};

// The comments and strings of `testo` read as `tipo`, on the rows of one side.
QHash<qsizetype, QList<Confronto::Tratto>>
Commenti(const Confronto::Risultato &r, const QString &testo, const TipoTesto &tipo, bool originale)
{
    QHash<qsizetype, QList<Confronto::Tratto>> commenti;
    if (tipo.linguaggio == Linguaggio::Nessuno || testo.size() > LimiteColorazione) return commenti;
    QList<std::pair<qsizetype, qsizetype>> tratti;
    const ZoneProtette zone = ScansionaCodice(testo, tipo);
    for (const Zona &z : zone.Elenco())
        tratti.append({z.inizio, z.fine - z.inizio});
    for (const Confronto::TrattoInRiga &t : originale ? Confronto::TrattiOriginali(r, testo, tratti)
                                                      : Confronto::TrattiAttuali(r, testo, tratti))
        commenti[t.Riga].append(t.Segno);
    return commenti;
}

} // namespace

AspettoConfronto AspettoConfronto::Di(const EditorTesto *editor, const TipoTesto &tipo)
{
    AspettoConfronto aspetto;
    aspetto.Carattere = editor->font();
    aspetto.DimensioneNormale = editor->font().pointSizeF() - editor->Ingrandimento();
    aspetto.Tipo = tipo;
    return aspetto;
}

FinestraConfronto::FinestraConfronto(const QString &originale, const QString &attuale,
                                     QWidget *padre,
                                     const QList<std::pair<qsizetype, qsizetype>> &segniCorsa,
                                     const AspettoConfronto &aspetto)
    : QDialog(padre), m_risultato(Confronto::Confronta(originale, attuale)),
      m_righe(Confronto::RigheMostrate(m_risultato, false))
{
    for (const Confronto::TrattoInRiga &t :
         Confronto::TrattiAttuali(m_risultato, attuale, segniCorsa))
        m_segniCorsa[t.Riga].append(t.Segno);
    m_commentiOriginale = Commenti(m_risultato, originale, aspetto.Tipo, true);
    m_commentiAttuale = Commenti(m_risultato, attuale, aspetto.Tipo, false);
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

    // The find field, the filter and the wrapping, above the table.
    auto *etichettaCampo = new QLabel(QStringLiteral("&Trova:"), this);
    CampoTrova = new QLineEdit(this);
    CampoTrova->setObjectName(QStringLiteral("CampoTrova"));
    CampoTrova->setClearButtonEnabled(true);
    CampoTrova->setToolTip(QStringLiteral("Ctrl+T; Invio o F3: la riga successiva che contiene "
                                          "il testo, Maiusc+F3: la precedente"));
    etichettaCampo->setBuddy(CampoTrova);
    EtichettaTrova = new QLabel(this);
    EtichettaTrova->setObjectName(QStringLiteral("EtichettaTrova"));
    CasellaSoloCambiate = new QCheckBox(QStringLiteral("S&olo le righe cambiate"), this);
    CasellaSoloCambiate->setObjectName(QStringLiteral("CasellaSoloCambiate"));
    CasellaACapo = new QCheckBox(QStringLiteral("&A capo automatico"), this);
    CasellaACapo->setObjectName(QStringLiteral("CasellaACapo"));
    connect(CampoTrova, &QLineEdit::textEdited, this, [this] { Trova(true, true); });
    connect(CampoTrova, &QLineEdit::returnPressed, this, &FinestraConfronto::TrovaSuccessivo);
    connect(CasellaSoloCambiate, &QCheckBox::toggled, this, &FinestraConfronto::MostraSoloCambiate);
    connect(CasellaACapo, &QCheckBox::toggled, this, &FinestraConfronto::ImpostaACapo);

    auto *tabella = new TabellaConfronto(this);
    VistaConfronto = tabella;
    VistaConfronto->setObjectName(QStringLiteral("VistaConfronto"));
    QFont carattere =
        aspetto.Carattere.value_or(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_dimensioneNormale = aspetto.Carattere && aspetto.DimensioneNormale > 0
                              ? aspetto.DimensioneNormale
                              : carattere.pointSizeF();
    m_ingrandimento = int(std::lround(carattere.pointSizeF() - m_dimensioneNormale));
    VistaConfronto->setFont(carattere);
    BarraOrizzontale = new QScrollBar(Qt::Horizontal, this);
    BarraOrizzontale->setObjectName(QStringLiteral("BarraOrizzontale"));
    tabella->Barra = BarraOrizzontale;
    m_modello = new ModelloConfronto(m_risultato, m_righe, m_colonneTab, VistaConfronto);
    VistaConfronto->setModel(m_modello);
    VistaConfronto->setItemDelegate(new DelegatoSegni(
        *this, m_colonneTab, BarraOrizzontale, [this] { return m_aCapo ? ColonnePerRiga() : 0; },
        VistaConfronto));
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
    QHeaderView *intestazione = VistaConfronto->horizontalHeader();
    intestazione->setSectionResizeMode(NumeroOriginale, QHeaderView::ResizeToContents);
    intestazione->setSectionResizeMode(NumeroAttuale, QHeaderView::ResizeToContents);
    // Each side half of what the numbers leave (AdattaColonne).
    intestazione->setSectionResizeMode(TestoOriginale, QHeaderView::Fixed);
    intestazione->setSectionResizeMode(TestoAttuale, QHeaderView::Fixed);
    intestazione->setStretchLastSection(false);
    CarattereCambiato();

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
    EtichettaCambiamento = new QLabel(this);
    EtichettaCambiamento->setObjectName(QStringLiteral("EtichettaCambiamento"));

    BottonePrecedente = new QPushButton(QStringLiteral("Cambiamento &precedente"), this);
    BottonePrecedente->setObjectName(QStringLiteral("BottonePrecedente"));
    BottonePrecedente->setToolTip(QStringLiteral("Maiusc+F8"));
    BottoneSuccessivo = new QPushButton(QStringLiteral("Cambiamento &successivo"), this);
    BottoneSuccessivo->setObjectName(QStringLiteral("BottoneSuccessivo"));
    BottoneSuccessivo->setToolTip(QStringLiteral("F8"));
    BottoneChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    BottoneChiudi->setObjectName(QStringLiteral("BottoneChiudi"));
    // Enter in the find field searches; it never presses a button.
    for (QPushButton *bottone : {BottonePrecedente, BottoneSuccessivo, BottoneChiudi})
        bottone->setAutoDefault(false);
    connect(BottonePrecedente, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoPrecedente);
    connect(BottoneSuccessivo, &QPushButton::clicked, this,
            &FinestraConfronto::CambiamentoSuccessivo);
    connect(BottoneChiudi, &QPushButton::clicked, this, &QDialog::reject); // Esc too
    connect(VistaConfronto, &QTableView::doubleClicked, this,
            [this](const QModelIndex &indice) { ScegliRiga(m_righe.value(indice.row(), -1)); });
    connect(VistaConfronto->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FinestraConfronto::AggiornaCambiamento);

    const auto scorciatoia = [this](const QList<QKeySequence> &tasti, auto azione) {
        auto *a = new QAction(this);
        a->setShortcuts(tasti);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, azione);
        addAction(a);
    };
    scorciatoia({QKeySequence(Qt::CTRL | Qt::Key_T)}, [this] {
        CampoTrova->setFocus(Qt::ShortcutFocusReason);
        CampoTrova->selectAll();
    });
    scorciatoia({QKeySequence(Qt::Key_F3)}, &FinestraConfronto::TrovaSuccessivo);
    scorciatoia({QKeySequence(Qt::SHIFT | Qt::Key_F3)}, &FinestraConfronto::TrovaPrecedente);
    scorciatoia({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                [this] { ImpostaIngrandimento(m_ingrandimento + 1); });
    scorciatoia({QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                [this] { ImpostaIngrandimento(m_ingrandimento - 1); });
    scorciatoia({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { ImpostaIngrandimento(0); });

    auto *sopra = new QHBoxLayout;
    sopra->addWidget(etichettaCampo);
    sopra->addWidget(CampoTrova, 1);
    sopra->addWidget(EtichettaTrova);
    sopra->addSpacing(Piattaforma::Pixel(240));
    sopra->addWidget(CasellaSoloCambiate);
    sopra->addWidget(CasellaACapo);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addWidget(EtichettaRiepilogo, 1);
    pulsanti->addWidget(EtichettaLegenda);
    pulsanti->addWidget(EtichettaCambiamento);
    pulsanti->addWidget(BottonePrecedente);
    pulsanti->addWidget(BottoneSuccessivo);
    pulsanti->addWidget(BottoneChiudi);
    auto *tabellaEBarra = new QVBoxLayout;
    tabellaEBarra->setSpacing(0);
    tabellaEBarra->addWidget(VistaConfronto, 1);
    tabellaEBarra->addWidget(BarraOrizzontale);
    auto *disposizione = new QVBoxLayout(this);
    disposizione->addLayout(sopra);
    disposizione->addLayout(tabellaEBarra, 1);
    disposizione->addLayout(pulsanti);
    // Reading order: the controls above, the table, the buttons.
    setTabOrder(CampoTrova, CasellaSoloCambiate);
    setTabOrder(CasellaSoloCambiate, CasellaACapo);
    setTabOrder(CasellaACapo, VistaConfronto);
    setTabOrder(VistaConfronto, BottonePrecedente);
    setTabOrder(BottonePrecedente, BottoneSuccessivo);
    setTabOrder(BottoneSuccessivo, BottoneChiudi);

    VistaConfronto->setFocus();
    // Opens on the first change, if any.
    VaiA(Confronto::CambiamentoSuccessivo(m_risultato, -1));
    AggiornaCambiamento();
}

void FinestraConfronto::Mostra(const QString &originale, const QString &attuale, QWidget *padre,
                               const QList<std::pair<qsizetype, qsizetype>> &segniCorsa,
                               const std::function<void(qsizetype)> &allaRiga,
                               const AspettoConfronto &aspetto)
{
    FinestraConfronto finestra(originale, attuale, padre, segniCorsa, aspetto);
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
    const QModelIndex indice = VistaConfronto->currentIndex();
    return indice.isValid() ? m_righe.value(indice.row(), -1) : -1;
}

int FinestraConfronto::RigaTabella(qsizetype riga) const
{
    return int(std::lower_bound(m_righe.cbegin(), m_righe.cend(), riga) - m_righe.cbegin());
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

void FinestraConfronto::TrovaSuccessivo()
{
    Trova(true, false);
}

void FinestraConfronto::TrovaPrecedente()
{
    Trova(false, false);
}

void FinestraConfronto::Trova(bool avanti, bool daQui)
{
    const QString testo = CampoTrova->text();
    EtichettaTrova->clear();
    if (testo.isEmpty()) return;
    const QModelIndex corrente = VistaConfronto->currentIndex();
    qsizetype da = corrente.isValid() ? corrente.row() : -1;
    // While typing the row the user is on may hold the longer text too.
    if (daQui && da >= 0) --da;
    const qsizetype trovata = Confronto::Cerca(m_risultato, m_righe, testo, da, avanti);
    if (trovata < 0) {
        EtichettaTrova->setText(QStringLiteral("Non trovato"));
        return;
    }
    const qsizetype riga = m_righe[trovata];
    VaiA(riga);
    // The first place on the row that holds the text, in view.
    const Confronto::Riga &r = m_risultato.Righe[riga];
    const qreal passo = Passo(VistaConfronto->font());
    for (const auto &[numero, righe] : {std::pair{r.Originale, &m_risultato.RigheOriginale},
                                        std::pair{r.Attuale, &m_risultato.RigheAttuale}}) {
        if (numero < 0) continue;
        const QString &linea = (*righe)[numero];
        const qsizetype dove = linea.indexOf(testo, 0, Qt::CaseInsensitive);
        if (dove < 0) continue;
        ColonneRiga colonne(linea, m_colonneTab);
        const qsizetype inizio = colonne.Di(dove);
        MostraColonne(inizio * passo, colonne.Di(dove + testo.size()) * passo);
        break;
    }
}

void FinestraConfronto::MostraSoloCambiate(bool solo)
{
    if (CasellaSoloCambiate->isChecked() != solo) CasellaSoloCambiate->setChecked(solo);
    const qsizetype corrente = RigaCorrente();
    m_righe = Confronto::RigheMostrate(m_risultato, solo);
    Ricostruisci();
    // On the same row, or the nearest change after it when it is hidden.
    qsizetype riga = corrente;
    if (solo && (riga < 0 || riga >= m_risultato.Righe.size() || !m_risultato.Righe[riga].Cambiata))
        riga = Confronto::CambiamentoSuccessivo(m_risultato, riga);
    if (riga < 0 && !m_righe.isEmpty()) riga = m_righe.first();
    VaiA(riga);
    AggiornaCambiamento();
}

void FinestraConfronto::ImpostaACapo(bool aCapo)
{
    if (CasellaACapo->isChecked() != aCapo) CasellaACapo->setChecked(aCapo);
    if (m_aCapo == aCapo) return;
    m_aCapo = aCapo;
    BarraOrizzontale->setValue(0);
    BarraOrizzontale->setVisible(!aCapo);
    const qsizetype corrente = RigaCorrente();
    Ricostruisci();
    // Back to one line a row (a reset model may keep the sizes).
    if (!aCapo) AdattaAltezze();
    VaiA(corrente);
}

void FinestraConfronto::Ricostruisci()
{
    static_cast<ModelloConfronto *>(m_modello)->Ricarica();
    AdattaColonne();
    if (m_aCapo) AdattaAltezze();
}

void FinestraConfronto::ImpostaIngrandimento(int passi)
{
    passi = std::clamp(passi, EditorTesto::IngrandimentoMinimo, EditorTesto::IngrandimentoMassimo);
    if (passi == m_ingrandimento) return;
    m_ingrandimento = passi;
    QFont carattere = VistaConfronto->font();
    carattere.setPointSizeF(std::max<qreal>(1, m_dimensioneNormale + passi));
    VistaConfronto->setFont(carattere);
    const qsizetype corrente = RigaCorrente();
    CarattereCambiato();
    Ricostruisci();
    VaiA(corrente);
}

void FinestraConfronto::CarattereCambiato()
{
    m_colonneTab = ColonneTab(VistaConfronto->font());
    m_colonneMassime = std::max(ColonneMassime(m_risultato.RigheOriginale, m_colonneTab),
                                ColonneMassime(m_risultato.RigheAttuale, m_colonneTab));
    VistaConfronto->verticalHeader()->setMinimumSectionSize(1);
    VistaConfronto->verticalHeader()->setDefaultSectionSize(
        QFontMetrics(VistaConfronto->font()).height() + 2);
}

void FinestraConfronto::AggiornaCambiamento()
{
    EtichettaCambiamento->setText(Confronto::DescriviCambiamento(m_risultato, RigaCorrente()));
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
    const qsizetype corrente = RigaCorrente();
    if (corrente >= 0) VaiA(corrente);
    // The rows take the keys first: F8, the arrows, Enter on a line.
    VistaConfronto->setFocus(Qt::OtherFocusReason);
}

bool FinestraConfronto::eventFilter(QObject *oggetto, QEvent *e)
{
    if (oggetto == VistaConfronto->viewport()) {
        if (e->type() == QEvent::Resize) AdattaColonne();
        if (e->type() == QEvent::Wheel) {
            const auto *rotella = static_cast<QWheelEvent *>(e);
            // Ctrl+wheel zooms, as in the editor.
            if (rotella->modifiers() & Qt::ControlModifier) {
                m_rotellaAccumulata += rotella->angleDelta().y();
                const int passi = m_rotellaAccumulata / 120;
                m_rotellaAccumulata %= 120;
                if (passi) ImpostaIngrandimento(m_ingrandimento + passi);
                return true;
            }
            // Maiusc+wheel scrolls sideways.
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
    const bool cambiata = intestazione->sectionSize(TestoOriginale) != meta;
    intestazione->resizeSection(TestoOriginale, meta);
    intestazione->resizeSection(TestoAttuale, resto - meta);
    // The offset reaches the end of the longest line in the narrower column.
    const qreal passo = Passo(VistaConfronto->font());
    const qreal necessaria = std::ceil(m_colonneMassime * passo) + 2 * Margine + 1;
    BarraOrizzontale->setRange(
        0, m_aCapo ? 0 : int(std::clamp<qreal>(necessaria - meta, 0, INT_MAX / 4)));
    BarraOrizzontale->setPageStep(std::max(1, meta));
    BarraOrizzontale->setSingleStep(std::max(1, int(std::lround(ColonnePasso * passo))));
    if (m_aCapo && cambiata) AdattaAltezze();
}

qsizetype FinestraConfronto::ColonnePerRiga() const
{
    const int larghezza =
        VistaConfronto->horizontalHeader()->sectionSize(TestoOriginale) - 2 * Margine;
    return std::max<qsizetype>(1, qsizetype(larghezza / Passo(VistaConfronto->font())));
}

int FinestraConfronto::AltezzaRiga(qsizetype riga) const
{
    const int normale = VistaConfronto->verticalHeader()->defaultSectionSize();
    if (!m_aCapo || riga < 0 || riga >= m_risultato.Righe.size()) return normale;
    const qsizetype perRiga = m_misureACapo.perRiga;
    // Lines wrap at a column count (the font is fixed-width).
    const auto linee = [&](const QStringList &testo, qsizetype numero) -> qsizetype {
        if (numero < 0) return 1;
        const QString &linea = testo[numero];
        if (linea.size() * m_colonneTab <= perRiga) return 1;
        const qsizetype colonne = ColonneRiga(linea, m_colonneTab).Di(linea.size());
        return std::max<qsizetype>(1, (colonne + perRiga - 1) / perRiga);
    };
    const Confronto::Riga &r = m_risultato.Righe[riga];
    const qsizetype n = std::max(linee(m_risultato.RigheOriginale, r.Originale),
                                 linee(m_risultato.RigheAttuale, r.Attuale));
    if (n == 1) return normale;
    return int(std::min<qsizetype>(n * m_misureACapo.altezzaLinea + 2, 30000));
}

void FinestraConfronto::AdattaAltezze()
{
    // Measured once for all the rows.
    m_misureACapo = {ColonnePerRiga(), QFontMetrics(VistaConfronto->font()).height()};
    // All rows in one pass (resizing them one by one costs a pass each).
    VistaConfronto->verticalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void FinestraConfronto::MostraColonne(qreal da, qreal a)
{
    if (m_aCapo) return;
    const int larghezza =
        VistaConfronto->horizontalHeader()->sectionSize(TestoOriginale) - 2 * Margine;
    const int spazio = int(std::lround(4 * Passo(VistaConfronto->font())));
    const int valore = BarraOrizzontale->value();
    if (da >= valore && a <= valore + larghezza) return;
    if (a <= larghezza)
        BarraOrizzontale->setValue(0);
    else
        BarraOrizzontale->setValue(
            std::max(0, std::min(int(da) - spazio, int(std::ceil(a)) + spazio - larghezza)));
}

void FinestraConfronto::MostraSegno(qsizetype riga)
{
    if (m_aCapo || riga < 0 || riga >= m_risultato.Righe.size()) return;
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
    const QModelIndex indice = VistaConfronto->model()->index(RigaTabella(riga), TestoOriginale);
    if (!indice.isValid()) return;
    VistaConfronto->setCurrentIndex(indice);
    VistaConfronto->scrollTo(indice, QAbstractItemView::PositionAtCenter);
    MostraSegno(riga);
}
