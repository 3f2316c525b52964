#include "trend/TrendPanel.h"

#include "trend/ArchivedRun.h"
#include "trend/LiveTrend.h"
#include "trend/TrendPlot.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cmath>

namespace {
// Which quantities are ticked, kept between runs of the program.
const char *const kTickedKey = "trend/ticked";
const QStringList kDefaultTicked = {QStringLiteral("CO"), QStringLiteral("O2")};

QString number(double v)
{
    return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'f', std::abs(v) < 10 ? 2 : 1);
}
} // namespace

TrendPanel::TrendPanel(LiveTrend &trend, Size size, QWidget *parent)
    : TrendPanel(&trend, nullptr, size, parent)
{
}

TrendPanel::TrendPanel(std::unique_ptr<TrendSeries> run, QWidget *parent)
    : TrendPanel(nullptr, std::move(run), Size::Large, parent)
{
}

TrendPanel::~TrendPanel() = default;

TrendPanel::TrendPanel(LiveTrend *trend, std::unique_ptr<TrendSeries> owned, Size size,
                       QWidget *parent)
    : QWidget(parent), m_trend(trend), m_owned(std::move(owned)),
      m_series(m_owned ? *m_owned : trend->series()), m_size(size)
{
    setObjectName(size == Size::Compact ? QStringLiteral("trendPanel")
                                        : QStringLiteral("trendWindow"));
    m_plot = new TrendPlot(m_series, this);
    m_plot->setObjectName(QStringLiteral("trendPlot"));
    m_stats = new QLabel(this);
    m_stats->setObjectName(QStringLiteral("trendStats"));
    m_stats->setTextFormat(Qt::RichText);
    QFont small = font();
    small.setPointSizeF(size == Size::Compact ? 7.5 : 9);
    m_stats->setFont(small);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(size == Size::Compact ? QMargins(4, 4, 4, 4) : QMargins(8, 8, 8, 8));
    layout->setSpacing(2);
    layout->addWidget(buildTicks());
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_stats);
    auto *button =
        new QPushButton(size == Size::Compact ? tr("&Larger Trend...") : tr("&Whole Run"), this);
    button->setObjectName(QStringLiteral("trendButton"));
    button->setFont(small);
    layout->addWidget(button, 0, Qt::AlignRight);
    if (size == Size::Compact) {
        connect(button, &QPushButton::clicked, this, &TrendPanel::openLargerWindow);
    } else {
        connect(button, &QPushButton::clicked, m_plot, &TrendPlot::showWholeRun);
        setWindowTitle(tr("Live Trend"));
        m_plot->setToolTip(tr("Wheel or +/-: zoom; drag or arrow keys: move; Home: whole run"));
        resize(760, 520);
    }
    if (trend) {
        connect(trend, &LiveTrend::readingAdded, this, &TrendPanel::refresh);
        connect(trend, &LiveTrend::runStarted, this, &TrendPanel::refresh);
    }
    refresh();
}

QWidget *TrendPanel::buildTicks()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const QStringList ticked =
        QSettings().value(QLatin1String(kTickedKey), kDefaultTicked).toStringList();
    int shown = 0;
    for (int q = 0; q < LiveReading::kCount; ++q) {
        const LiveQuantity &info = LiveReading::quantities()[q];
        if (!info.trended) continue;
        auto *tick = new QCheckBox(QString::fromLatin1(info.name), box);
        tick->setObjectName(QStringLiteral("trendTick") + QString::fromLatin1(info.name));
        QFont f = tick->font();
        f.setPointSizeF(m_size == Size::Compact ? 7.5 : 9);
        tick->setFont(f);
        QPalette pal = tick->palette();
        pal.setColor(QPalette::WindowText, TrendPlot::colourOf(q));
        tick->setPalette(pal);
        tick->setChecked(ticked.contains(QString::fromLatin1(info.name)));
        m_plot->setTicked(q, tick->isChecked());
        connect(tick, &QCheckBox::toggled, this, [this, q](bool on) { setTicked(q, on); });
        // Four to a row leave "Pressure" no room in the frame's width; three do.
        const int columns = m_size == Size::Compact ? 3 : 8;
        grid->addWidget(tick, shown / columns, shown % columns);
        m_ticks[q] = tick;
        ++shown;
    }
    return box;
}

void TrendPanel::setTicked(int quantity, bool ticked)
{
    m_plot->setTicked(quantity, ticked);
    QStringList names;
    for (int q = 0; q < LiveReading::kCount; ++q)
        if (m_ticks[q] && m_ticks[q]->isChecked())
            names << QString::fromLatin1(LiveReading::quantities()[q].name);
    QSettings().setValue(QLatin1String(kTickedKey), names);
    refresh();
}

void TrendPanel::refresh()
{
    const TrendSeries &s = m_series;
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=1><tr><th></th><th "
                                  "align=right>now</th><th align=right>min</th><th "
                                  "align=right>max</th><th align=right>mean</th></tr>");
    for (int q = 0; q < LiveReading::kCount; ++q) {
        if (!m_ticks[q] || !m_ticks[q]->isChecked()) continue;
        const TrendStats &st = s.stats(q);
        const bool any = st.count > 0;
        html += QStringLiteral("<tr><td><font color=%1>%2</font>&nbsp;</td><td "
                               "align=right>%3</td><td align=right>%4</td><td "
                               "align=right>%5</td><td align=right>%6</td></tr>")
                    .arg(TrendPlot::colourOf(q).name(),
                         QString::fromLatin1(LiveReading::quantities()[q].name), number(st.current),
                         any ? number(st.minimum) : QStringLiteral("-"),
                         any ? number(st.maximum) : QStringLiteral("-"),
                         any ? number(st.mean()) : QStringLiteral("-"));
    }
    m_stats->setText(html + QStringLiteral("</table>"));
    m_plot->update();
}

TrendPanel *TrendPanel::fillFrame(QWidget *frame, Program &program)
{
    if (!frame) return nullptr;
    auto *trend = new LiveTrend(program, frame);
    auto *panel = new TrendPanel(*trend, Size::Compact, frame);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 6, 2, 2);
    layout->addWidget(panel);
    return panel;
}

void TrendPanel::openLargerWindow()
{
    if (!m_larger) {
        if (!m_trend) return;
        m_larger = new TrendPanel(*m_trend, Size::Large, window());
        m_larger->setWindowFlag(Qt::Window);
        m_larger->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_larger->show();
    m_larger->raise();
    m_larger->activateWindow();
}

TrendPanel *TrendPanel::openArchivedRun(const ArchivedRun &run, QWidget *parent)
{
    auto series = std::make_unique<TrendSeries>();
    run.fillSeries(*series);
    auto *window = new TrendPanel(std::move(series), parent);
    window->setObjectName(QStringLiteral("archivedTrendWindow"));
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(tr("Live Run %1 - %2 readings from %3")
                               .arg(run.entry.id)
                               .arg(run.readings.size())
                               .arg(QLocale().toString(run.entry.received, QLocale::ShortFormat)));
    window->show();
    return window;
}
