#include "gui/along/alongtab.h"

#include "core/files/csvfile.h"
#include "core/text/textfile.h"
#include "gui/along/alongchartwidget.h"
#include "gui/along/alongtablemodel.h"
#include "gui/prompts/prompts.h"
#include "render/chartfile.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace lv::gui {

AlongTab::AlongTab(Prompts &prompts, QWidget *parent) : QWidget(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("alongTab"));
    auto *quantityLabel = new QLabel(QStringLiteral("Storhet i diagrammet:"), this);
    m_quantityCombo = new QComboBox(this);
    m_quantityCombo->setObjectName(QStringLiteral("quantityCombo"));
    m_quantityCombo->setAccessibleName(QStringLiteral("Storhet i diagrammet:"));
    for (int q : results::kAlongQuantities)
        m_quantityCombo->addItem(results::quantityName(q), q);
    quantityLabel->setBuddy(m_quantityCombo);
    m_exportButton = new QPushButton(QStringLiteral("Exportera..."), this);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    m_saveChartButton = new QPushButton(QStringLiteral("Spara diagram..."), this);
    m_saveChartButton->setObjectName(QStringLiteral("saveChartButton"));
    auto *top = new QHBoxLayout;
    top->addWidget(quantityLabel);
    top->addWidget(m_quantityCombo);
    top->addStretch(1);
    top->addWidget(m_exportButton);
    top->addWidget(m_saveChartButton);

    m_model = new AlongTableModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("alongView"));
    m_table->setAccessibleName(QStringLiteral("Längs tunneln"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Ctrl+C reaches the table as a key press (see eventFilter); the menu offers the same.
    auto *copy = new QAction(QStringLiteral("Kopiera markerade rader"), m_table);
    copy->setObjectName(QStringLiteral("copyRowsAction"));
    m_table->addAction(copy);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_table->installEventFilter(this);

    m_chart = new AlongChartWidget(this);
    m_readout = new QLabel(this);
    m_readout->setObjectName(QStringLiteral("chartReadout"));
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_chart);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({220, 300});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_readout);

    connect(copy, &QAction::triggered, this, &AlongTab::copySelectedRows);
    connect(m_exportButton, &QPushButton::clicked, this, &AlongTab::exportTable);
    connect(m_saveChartButton, &QPushButton::clicked, this, &AlongTab::saveChart);
    connect(m_quantityCombo, &QComboBox::currentIndexChanged, this, &AlongTab::updateChart);
    connect(m_chart, &AlongChartWidget::readoutChanged, m_readout, &QLabel::setText);
    clear();
}

bool AlongTab::eventFilter(QObject *watched, QEvent *event)
{
    // The view's own Ctrl+C would copy the current cell only.
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copySelectedRows();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AlongTab::showRun(const calc::RunState &run, const std::vector<QString> &numbers,
                       const QString &year, const QString &scenario)
{
    m_year = year;
    m_scenario = scenario;
    m_model->setRows(results::alongTunnelRows(run, numbers));
    m_exportButton->setEnabled(true);
    m_saveChartButton->setEnabled(true);
    updateChart();
}

void AlongTab::setSubStretches(std::vector<results::LabelledSpan> spans)
{
    if (spans == m_spans)
        return;
    m_spans = std::move(spans);
    updateChart();
}

void AlongTab::clear()
{
    m_model->clear();
    m_spans.clear();
    m_exportButton->setEnabled(false);
    m_saveChartButton->setEnabled(false);
    m_readout->clear();
    updateChart();
}

const std::vector<results::AlongTunnelRow> &AlongTab::rows() const
{
    return m_model->rows();
}

int AlongTab::quantity() const
{
    return m_quantityCombo->currentData().toInt();
}

void AlongTab::updateChart()
{
    m_chart->setData(render::chartData(m_model->rows(), quantity(), m_year, m_scenario, m_spans));
}

void AlongTab::copySelectedRows()
{
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    QList<int> rows;
    for (const QModelIndex &index : selected)
        rows << index.row();
    QGuiApplication::clipboard()->setText(m_model->tabSeparated(rows));
}

void AlongTab::exportTable()
{
    const QString path = m_prompts.saveFileName(this, kExportTableTitle, kCsvFilter);
    if (path.isEmpty())
        return;
    const auto saved = text::saveFileAtomically(path, files::writeAlongTunnelCsv(m_model->rows()));
    if (!saved)
        showError(m_prompts, saved.error(), kExportTableTitle);
}

void AlongTab::saveChart()
{
    const QString path = m_prompts.saveFileName(this, kSaveChartTitle, kChartFilter);
    if (path.isEmpty())
        return;
    if (const auto saved = render::saveChart(path, m_chart->data()); !saved)
        showError(m_prompts, saved.error(), kSaveChartTitle);
}

} // namespace lv::gui
